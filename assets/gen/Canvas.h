// A floating-point drawing surface for the procedural pictures, and the small maths they share.
#pragma once

#include "Image.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace assetgen {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTau = 2 * kPi;

struct Colour {
    double r = 0, g = 0, b = 0;  // 0..255

    friend Colour operator+(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
    friend Colour operator-(Colour a, Colour b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
    friend Colour operator*(Colour a, double k) { return {a.r * k, a.g * k, a.b * k}; }
    friend Colour operator*(Colour a, Colour b) { return {a.r * b.r / 255, a.g * b.g / 255, a.b * b.b / 255}; }
};

inline Colour mix(Colour a, Colour b, double t) { return a + (b - a) * t; }

// Screen blend: lightens by `amount` of `light`, never past white.
inline Colour screen(Colour base, Colour light, double amount) {
    auto s = [](double a, double b) { return 255 - (255 - a) * (255 - b) / 255; };
    return mix(base, Colour{s(base.r, light.r), s(base.g, light.g), s(base.b, light.b)}, amount);
}

inline double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

inline double smoothstep(double e0, double e1, double x) {
    const double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// A deterministic integer hash, for star fields and per-brick variation.
inline std::uint32_t hash32(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

inline double hashUnit(std::uint32_t x) { return (hash32(x) >> 8) / double(1 << 24); }

// A small deterministic generator (one stream per picture).
class Sequence {
public:
    explicit Sequence(std::uint32_t seed) : state_(seed) {}
    double next() { return hashUnit(state_++ * 0x9E3779B9U); }
    double between(double lo, double hi) { return lo + (hi - lo) * next(); }

private:
    std::uint32_t state_;
};

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;

    Canvas(int w, int h, Colour fill = {}) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
    Colour& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
    const Colour& at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// Rounds to 8 bits per channel, with an optional ordered dither (in levels, peak to peak).
RgbImage toRgb(const Canvas& canvas, double ditherAmplitude);

} // namespace assetgen
