// Encoders for the Windows BMP and ICO file images the program embeds.
// Every BMP is bottom-up (positive height) and uncompressed.
#pragma once

#include "Image.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace assetgen {

using Bytes = std::vector<std::uint8_t>;

// 1, 4 or 8 bits per pixel, BI_RGB, with a colour table of exactly 2^bits entries
// (the picture's palette padded with black).
Bytes encodeIndexedBmp(const IndexedImage& image, int bitsPerPixel);

// 24 bits per pixel, BI_RGB, no colour table.
Bytes encodeRgb24Bmp(const RgbImage& image);

// 16 bits per pixel, BI_BITFIELDS with the 5-5-5 channel masks 0x7C00/0x03E0/0x001F,
// followed by a colour table of colourTable.size() entries. The file header's size field
// states `statedFileSize`, whatever the real length is: some shipped sheets carry a
// size field that does not match, and the loader must size the pixels from the info header.
Bytes encodeRgb555BitfieldsBmp(const RgbImage& image, const std::vector<Rgb>& colourTable,
                               std::uint32_t statedFileSize);

// One-image icons: a 32x32 picture plus its AND mask (set where `mask` is clear).
// The picture must be black wherever the mask is clear, so the icon draws as a plain cut-out.
Bytes encodeIcon4(const IndexedImage& image, const Mask& mask);   // 16-colour palette
Bytes encodeIcon24(const RgbImage& image, const Mask& mask);

void writeFile(const std::filesystem::path& path, const Bytes& bytes);

} // namespace assetgen
