// The fifteen character sheets: which source draws which sheet, in which pixel format,
// and how a 32x32 character becomes a 32x64 sheet (colour half above, mask half below).
#pragma once

#include "BmpWriter.h"
#include "PixelArt.h"

#include <array>
#include <filesystem>

namespace assetgen {

enum class SheetFormat {
    Indexed8,         // 8 bpp, 256-entry palette
    Rgb24,            // 24 bpp, may carry grey outline pixels in the mask
    Rgb555Bitfields,  // 16 bpp 5-5-5 with explicit channel masks and a 256-entry colour table
};

struct SheetEntry {
    int index;
    const char* source;    // file under characters/
    SheetFormat format;
    int sharesMaskWith;    // the other sheet of a pair whose masks are identical, or -1
    int litPixels;         // grey mask pixels whose colour is white
};

inline constexpr int kSheetCount = 15;
inline constexpr int kCharacterSize = 32;

// The size field sheet 12's file header has always stated: 1024 bytes more than the image.
inline constexpr std::uint32_t kSheet12StatedSize = 6210;
inline constexpr std::uint32_t kSheet12RealSize = 5186;

inline constexpr std::array<SheetEntry, kSheetCount> kSheets{{
    {0, "00_red_mouse.txt", SheetFormat::Indexed8, -1, 0},
    {1, "01_penguin.txt", SheetFormat::Indexed8, -1, 0},
    {2, "02_bouncy_blob.txt", SheetFormat::Indexed8, -1, 0},
    {3, "03_sparkle.txt", SheetFormat::Indexed8, -1, 0},
    {4, "04_hamster.txt", SheetFormat::Indexed8, -1, 0},
    {5, "05_showa_smiley.txt", SheetFormat::Rgb24, 6, 0},
    {6, "06_showa_smiley_colour.txt", SheetFormat::Rgb24, 5, 1},
    {7, "07_showa_crescent.txt", SheetFormat::Rgb24, 8, 0},
    {8, "08_showa_crescent_yellow.txt", SheetFormat::Rgb24, 7, 0},
    {9, "09_fire_fellow.txt", SheetFormat::Indexed8, -1, 0},
    {10, "10_muncher.txt", SheetFormat::Indexed8, -1, 0},
    {11, "11_octopus_alien.txt", SheetFormat::Indexed8, -1, 0},
    {12, "12_frog.txt", SheetFormat::Rgb555Bitfields, -1, 0},
    {13, "13_weight_16t.txt", SheetFormat::Indexed8, -1, 0},
    {14, "14_flame.txt", SheetFormat::Indexed8, -1, 0},
}};

// The grey outline pixels of the 24-bit sheets: every channel at most this, and this many per sheet.
inline constexpr int kOutlineGreyMax = 53;
inline constexpr int kOutlinePixelsMin = 9;
inline constexpr int kOutlinePixelsMax = 59;

// The sheet picture, top-down: rows 0..31 colour, rows 32..63 mask. Checks the art against the
// sheet rules and throws AssetError on any fault.
RgbImage composeSheet(const PixelArt& art, const SheetEntry& entry);

// Checks the pair rules across sheets (identical masks for the pairs).
void checkSheetPairs(const std::array<RgbImage, kSheetCount>& sheets);

Bytes encodeSheet(const RgbImage& sheet, const SheetEntry& entry);

} // namespace assetgen
