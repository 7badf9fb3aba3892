// Test pictures: BMP files written in a chosen depth, and a character sheet
// whose every pixel kind has a known result when pasted through its mask.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/BmpImage.h"
#include "platform/soft/Pixels.h"

namespace flutt::testing {

// Writes `image` as a bottom-up BMP file: 8 bits (palette of its colours),
// 16 bits (BI_BITFIELDS 5-5-5 followed by a 256-entry colour table, as the
// frog's sheet is stored) or 24 bits. Colours must fit the depth.
inline std::vector<std::uint8_t> EncodeBmp(const Image32& image, int bpp) {
    std::vector<std::uint32_t> palette;
    std::map<std::uint32_t, int> index;
    if (bpp == 8) {
        for (std::uint32_t c : image.pixels) {
            if (index.emplace(c, int(palette.size())).second) palette.push_back(c);
        }
        if (palette.size() > 256) throw std::invalid_argument("too many colours");
        palette.resize(256, 0);
    }
    const std::size_t stride = ((std::size_t(image.width) * bpp + 31) / 32) * 4;
    const std::size_t masks = bpp == 16 ? 12 : 0;
    const std::size_t table = bpp == 8 ? 1024 : bpp == 16 ? 1024 : 0;
    const std::size_t offset = 14 + 40 + masks + table;
    std::vector<std::uint8_t> file(offset + stride * image.height, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&file[at], &v, 4); };
    auto put16 = [&](std::size_t at, std::uint16_t v) { std::memcpy(&file[at], &v, 2); };
    file[0] = 'B', file[1] = 'M';
    put32(2, std::uint32_t(file.size()));
    put32(10, std::uint32_t(offset));
    put32(14, 40);
    put32(18, std::uint32_t(image.width));
    put32(22, std::uint32_t(image.height));
    put16(26, 1);
    put16(28, std::uint16_t(bpp));
    put32(30, bpp == 16 ? 3 : 0);
    put32(34, std::uint32_t(stride * image.height));
    if (bpp == 16) put32(54, 0x7C00), put32(58, 0x03E0), put32(62, 0x001F);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const std::uint32_t c = palette[i];
        file[54 + 4 * i] = std::uint8_t(c), file[55 + 4 * i] = std::uint8_t(c >> 8), file[56 + 4 * i] = std::uint8_t(c >> 16);
    }
    for (int y = 0; y < image.height; ++y) {
        const std::size_t row = offset + std::size_t(image.height - 1 - y) * stride;
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t c = image.Pixel(x, y);
            if (bpp == 8) {
                file[row + x] = std::uint8_t(index.at(c));
            } else if (bpp == 16) {
                const auto v = std::uint16_t(((c >> 19) & 31) << 10 | ((c >> 11) & 31) << 5 | ((c >> 3) & 31));
                put16(row + 2 * std::size_t(x), v);
            } else {
                file[row + 3 * x] = std::uint8_t(c), file[row + 3 * x + 1] = std::uint8_t(c >> 8);
                file[row + 3 * x + 2] = std::uint8_t(c >> 16);
            }
        }
    }
    return file;
}

// A 32 x 64 sheet (colour on top, mask below) holding every kind of pixel.
// All colours survive 5-5-5 storage unchanged.
class PasteSheet {
public:
    static constexpr std::uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000, kGrey = 0x212121;
    static constexpr int kSize = 32;

    PasteSheet() {
        image.width = kSize;
        image.height = 2 * kSize;
        image.pixels.assign(std::size_t(kSize) * 2 * kSize, kWhite);
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                image.pixels[std::size_t(y) * kSize + x] = Colour(x, y);
                image.pixels[std::size_t(y + kSize) * kSize + x] = Mask(x, y);
            }
        }
    }

    // Rows 0-7 surround; 8-15 opaque in four colours; 16-23 grey outline;
    // 24-31 grey mask under white colour (left half), surround (right half).
    static std::uint32_t Mask(int x, int y) {
        if (y < 8) return kWhite;
        if (y < 16) return kBlack;
        if (y < 24) return kGrey;
        return x < 16 ? kGrey : kWhite;
    }
    static std::uint32_t Colour(int x, int y) {
        if (y < 8) return kWhite;
        if (y < 16) {
            const std::uint32_t opaque[] = {kWhite, kBlack, 0xFF0000, 0x848484};
            return opaque[x / 8];
        }
        if (y < 24) return kGrey;
        return kWhite;
    }
    // What the frame pixel `d` becomes under sheet pixel (x, y).
    static std::uint32_t Expected(int x, int y, std::uint32_t d) {
        if (y < 8) return d;
        if (y < 16) return Colour(x, y);
        if (y < 24) return kGrey & d;
        return x < 16 ? ((~kGrey & 0xFFFFFF) | d) : d;
    }

    Image32 image;
};

// A frame filled with varied values, pure white and pure black among them.
inline std::uint32_t FramePattern(int x, int y) {
    switch ((x + 3 * y) % 5) {
        case 0: return 0xFFFFFF;
        case 1: return 0x000000;
        default: return std::uint32_t(x * 2654435761u ^ y * 40503u) & 0xFFFFFF;
    }
}

// The paste checks draw the sheet on a 64 x 48 frame of FramePattern, once
// inside and at these places across each edge and corner.
inline constexpr int kPasteFrameW = 64, kPasteFrameH = 48;
inline constexpr std::pair<int, int> kClippedPlaces[] = {{-10, 5}, {50, 5},    {5, -20}, {5, 40},
                                                         {-31, -31}, {63, 47}, {-40, 0}};

// Frame pixel (fx, fy) once the sheet's character is pasted at (x, y).
inline std::uint32_t ExpectedAfterPaste(int fx, int fy, int x, int y) {
    const int sx = fx - x, sy = fy - y;
    const bool inside = sx >= 0 && sx < PasteSheet::kSize && sy >= 0 && sy < PasteSheet::kSize;
    return inside ? PasteSheet::Expected(sx, sy, FramePattern(fx, fy)) : FramePattern(fx, fy);
}

// "" when both buffers hold the same pixels (all 32 bits), else where and
// how the first difference lies.
inline std::string FirstDifference(ConstPixelView a, ConstPixelView b) {
    if (a.width != b.width || a.height != b.height) return "sizes differ";
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (a.Row(y)[x] != b.Row(y)[x]) {
                return std::to_string(x) + "," + std::to_string(y) + ": " + std::to_string(a.Row(y)[x]) +
                       " != " + std::to_string(b.Row(y)[x]);
            }
    return "";
}

}  // namespace flutt::testing
