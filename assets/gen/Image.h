// In-memory pictures as the generator builds them: rows top-down, y = 0 at the top.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace assetgen {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    RgbImage() = default;
    RgbImage(int w, int h, Rgb fill = kBlack) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
    Rgb& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
    const Rgb& at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// A palette picture: each pixel is an index into `palette`.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;
    std::vector<Rgb> palette;

    IndexedImage() = default;
    IndexedImage(int w, int h) : width(w), height(h), indices(std::size_t(w) * h, 0) {}
    std::uint8_t& at(int x, int y) { return indices[std::size_t(y) * width + x]; }
    std::uint8_t at(int x, int y) const { return indices[std::size_t(y) * width + x]; }
};

// A 1-bit transparency mask: true where the picture is see-through.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<bool> clear;

    Mask() = default;
    Mask(int w, int h) : width(w), height(h), clear(std::size_t(w) * h, false) {}
    bool isClear(int x, int y) const { return clear[std::size_t(y) * width + x]; }
    void setClear(int x, int y, bool v) { clear[std::size_t(y) * width + x] = v; }
};

// Every fault in the art sources or in a picture's facts ends the generator with this.
struct AssetError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

} // namespace assetgen
