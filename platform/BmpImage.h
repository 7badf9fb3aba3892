// Decoding of Windows BMP file images into 32-bit pixels. Every size comes
// from the file's own headers; a truncated or malformed file is refused
// without reading outside the given bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace flutt {

struct Image32 {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first

    std::uint32_t Pixel(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// Accepts uncompressed BMPs (BI_RGB at 1, 4, 8, 16, 24 or 32 bits per pixel;
// BI_BITFIELDS at 16 or 32), bottom-up or top-down. The pixel data is sized
// from the info header, not from the size the file header states.
std::optional<Image32> DecodeBmp(std::span<const std::uint8_t> file);

}  // namespace flutt
