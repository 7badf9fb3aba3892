#include "platform/BmpImage.h"

#include <bit>

namespace flutt {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0, kBiBitfields = 3;
// Far beyond any picture of the program; keeps every size computation below
// well inside 32 bits.
constexpr std::int64_t kMaxSide = 16384;
constexpr std::int64_t kMaxPixels = std::int64_t(1) << 25;

std::uint32_t U16(std::span<const std::uint8_t> b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

// A colour channel under a bit mask, widened to 8 bits by repeating its bits
// (5-bit 31 becomes 255, as the display does it).
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (!m) return;
        shift = std::countr_zero(m);
        bits = std::popcount(m);
    }
    std::uint32_t Expand(std::uint32_t pixel) const {
        if (!bits) return 0;
        std::uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) return v >> (bits - 8);
        std::uint32_t wide = 0;
        int filled = 0;
        for (; filled < 8; filled += bits) wide = (wide << bits) | v;
        return wide >> (filled - 8);
    }
};

}  // namespace

std::optional<Image32> DecodeBmp(std::span<const std::uint8_t> file) {
    if (file.size() < kFileHeaderSize + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M') return std::nullopt;
    const std::uint32_t pixelOffset = U32(file, 10);
    const std::span<const std::uint8_t> info = file.subspan(kFileHeaderSize);
    const std::uint32_t infoSize = U32(info, 0);
    const auto width = std::int64_t(std::int32_t(U32(info, 4)));
    const auto rawHeight = std::int64_t(std::int32_t(U32(info, 8)));
    const std::uint32_t planes = U16(info, 12), bpp = U16(info, 14), compression = U32(info, 16);
    const std::uint32_t colorsUsed = U32(info, 32);
    if (infoSize < kInfoHeaderSize || infoSize > info.size() || planes != 1) return std::nullopt;
    const bool bottomUp = rawHeight > 0;
    const std::int64_t height = bottomUp ? rawHeight : -rawHeight;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || width * height > kMaxPixels) {
        return std::nullopt;
    }

    // Channel masks: explicit after the info header for BI_BITFIELDS.
    std::size_t tableStart = kFileHeaderSize + infoSize;
    std::uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
    if (bpp == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    if (compression == kBiBitfields) {
        if (bpp != 16 && bpp != 32) return std::nullopt;
        if (infoSize == kInfoHeaderSize) {
            if (file.size() < tableStart + 12) return std::nullopt;
            for (int i = 0; i < 3; ++i) masks[i] = U32(file, tableStart + 4 * i);
            tableStart += 12;
        } else {
            if (infoSize < 52) return std::nullopt;
            for (int i = 0; i < 3; ++i) masks[i] = U32(info, 40 + 4 * i);
        }
    } else if (compression != kBiRgb) {
        return std::nullopt;
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return std::nullopt;

    // Palette: colorsUsed entries, or all 2^bpp for the indexed depths.
    std::vector<std::uint32_t> palette;
    if (bpp <= 8) {
        const std::uint32_t maxColors = 1u << bpp;
        const std::uint32_t count = colorsUsed == 0 ? maxColors : colorsUsed;
        if (count > maxColors || file.size() < tableStart + std::size_t(count) * 4) return std::nullopt;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t at = tableStart + std::size_t(i) * 4;
            palette.push_back((std::uint32_t(file[at + 2]) << 16) | (file[at + 1] << 8) | file[at]);
        }
    }

    const std::size_t stride = ((std::size_t(width) * bpp + 31) / 32) * 4;
    const std::uint64_t dataSize = std::uint64_t(stride) * std::uint64_t(height);
    if (pixelOffset < kFileHeaderSize + kInfoHeaderSize || pixelOffset > file.size() ||
        file.size() - pixelOffset < dataSize) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> data = file.subspan(pixelOffset, std::size_t(dataSize));
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);

    Image32 image;
    image.width = int(width);
    image.height = int(height);
    image.pixels.resize(std::size_t(width) * std::size_t(height));
    for (std::int64_t y = 0; y < height; ++y) {
        const std::size_t row = std::size_t(bottomUp ? height - 1 - y : y) * stride;
        for (std::int64_t x = 0; x < width; ++x) {
            std::uint32_t colour = 0;
            if (bpp <= 8) {
                const std::size_t bit = std::size_t(x) * bpp;
                const std::uint32_t index = (data[row + bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                colour = index < palette.size() ? palette[index] : 0;  // an index past the palette shows black
            } else if (bpp == 24) {
                const std::size_t at = row + std::size_t(x) * 3;
                colour = (std::uint32_t(data[at + 2]) << 16) | (data[at + 1] << 8) | data[at];
            } else {
                const std::size_t at = row + std::size_t(x) * (bpp / 8);
                const std::uint32_t raw = bpp == 16 ? U16(data, at) : U32(data, at);
                colour = (red.Expand(raw) << 16) | (green.Expand(raw) << 8) | blue.Expand(raw);
            }
            image.pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = colour;
        }
    }
    return image;
}

}  // namespace flutt
