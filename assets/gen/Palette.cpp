#include "Palette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

namespace assetgen {
namespace {

struct Swatch {
    std::uint32_t key;  // 0xRRGGBB
    std::uint32_t count;
    int channel(int c) const { return int((key >> (16 - 8 * c)) & 0xFF); }
};

struct Box {
    std::size_t begin, end;  // range in the swatch list
};

std::uint32_t keyOf(Rgb c) { return (std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b; }

int widestChannel(const std::vector<Swatch>& s, const Box& b, int& range) {
    int best = 0;
    range = -1;
    for (int c = 0; c < 3; ++c) {
        int lo = 255, hi = 0;
        for (std::size_t i = b.begin; i < b.end; ++i) {
            lo = std::min(lo, s[i].channel(c));
            hi = std::max(hi, s[i].channel(c));
        }
        if (hi - lo > range) {
            range = hi - lo;
            best = c;
        }
    }
    return best;
}

} // namespace

double bayer8(int x, int y) {
    static constexpr std::array<int, 64> m{
        0, 32, 8, 40, 2, 34, 10, 42, 48, 16, 56, 24, 50, 18, 58, 26,
        12, 44, 4, 36, 14, 46, 6, 38, 60, 28, 52, 20, 62, 30, 54, 22,
        3, 35, 11, 43, 1, 33, 9, 41, 51, 19, 59, 27, 49, 17, 57, 25,
        15, 47, 7, 39, 13, 45, 5, 37, 63, 31, 55, 23, 61, 29, 53, 21};
    return (m[(y & 7) * 8 + (x & 7)] + 0.5) / 64.0 - 0.5;
}

std::vector<Rgb> medianCutPalette(const RgbImage& image, int maxColours) {
    std::unordered_map<std::uint32_t, std::uint32_t> histogram;
    for (const Rgb& c : image.pixels) ++histogram[keyOf(c)];
    std::vector<Swatch> swatches;
    swatches.reserve(histogram.size());
    for (const auto& [key, count] : histogram) swatches.push_back({key, count});
    std::sort(swatches.begin(), swatches.end(), [](const Swatch& a, const Swatch& b) { return a.key < b.key; });

    std::vector<Box> boxes{{0, swatches.size()}};
    while (int(boxes.size()) < maxColours) {
        // Split the box with the largest weighted spread; ties go to the earliest box.
        std::size_t pick = boxes.size();
        double bestScore = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].end - boxes[i].begin < 2) continue;
            int range = 0;
            widestChannel(swatches, boxes[i], range);
            double weight = 0;
            for (std::size_t k = boxes[i].begin; k < boxes[i].end; ++k) weight += swatches[k].count;
            const double score = double(range) * std::sqrt(weight);
            if (score > bestScore) {
                bestScore = score;
                pick = i;
            }
        }
        if (pick == boxes.size()) break;
        Box box = boxes[pick];
        int range = 0;
        const int c = widestChannel(swatches, box, range);
        std::stable_sort(swatches.begin() + std::ptrdiff_t(box.begin), swatches.begin() + std::ptrdiff_t(box.end),
                         [c](const Swatch& a, const Swatch& b) {
                             return a.channel(c) != b.channel(c) ? a.channel(c) < b.channel(c) : a.key < b.key;
                         });
        double total = 0;
        for (std::size_t k = box.begin; k < box.end; ++k) total += swatches[k].count;
        double running = 0;
        std::size_t cut = box.begin + 1;
        for (std::size_t k = box.begin; k < box.end - 1; ++k) {
            running += swatches[k].count;
            cut = k + 1;
            if (running >= total / 2) break;
        }
        boxes[pick] = {box.begin, cut};
        boxes.push_back({cut, box.end});
    }

    std::vector<Rgb> palette;
    for (const Box& b : boxes) {
        double sum[3] = {0, 0, 0}, weight = 0;
        for (std::size_t k = b.begin; k < b.end; ++k) {
            for (int c = 0; c < 3; ++c) sum[c] += double(swatches[k].channel(c)) * swatches[k].count;
            weight += swatches[k].count;
        }
        auto avg = [&](int c) { return std::uint8_t(std::lround(sum[c] / weight)); };
        const Rgb colour{avg(0), avg(1), avg(2)};
        if (std::find(palette.begin(), palette.end(), colour) == palette.end()) palette.push_back(colour);
    }
    return palette;
}

IndexedImage mapToPalette(const RgbImage& image, const std::vector<Rgb>& palette, double ditherAmplitude) {
    if (palette.empty() || palette.size() > 256) throw AssetError("a palette has 1 to 256 colours");
    IndexedImage out(image.width, image.height);
    out.palette = palette;
    std::unordered_map<std::uint32_t, std::uint8_t> cache;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb src = image.at(x, y);
            const double offset = ditherAmplitude * bayer8(x, y);
            auto clamp = [](double v) { return std::uint8_t(std::clamp(std::lround(v), 0l, 255l)); };
            const Rgb c{clamp(src.r + offset), clamp(src.g + offset), clamp(src.b + offset)};
            const std::uint32_t key = keyOf(c);
            auto it = cache.find(key);
            if (it == cache.end()) {
                std::size_t best = 0;
                long bestDistance = -1;
                for (std::size_t i = 0; i < palette.size(); ++i) {
                    const long dr = long(c.r) - palette[i].r, dg = long(c.g) - palette[i].g,
                               db = long(c.b) - palette[i].b;
                    // Weighted towards green, as the eye is.
                    const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                    if (bestDistance < 0 || d < bestDistance) {
                        bestDistance = d;
                        best = i;
                    }
                }
                it = cache.emplace(key, std::uint8_t(best)).first;
            }
            out.at(x, y) = it->second;
        }
    }
    return out;
}

} // namespace assetgen
