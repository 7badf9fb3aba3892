// The banner picture: the program's name in its own little pixel font.
#pragma once

#include "Image.h"
#include "PixelArt.h"

#include <string>
#include <vector>

namespace assetgen {

inline constexpr int kBannerWidth = 500;
inline constexpr int kBannerHeight = 50;
inline constexpr const char* kBannerText = "Fluttons! Saver";

// A glyph of the tiny font: rows of '#' and '.', all of one width, 7 rows with the baseline last.
struct Glyph {
    char ch;
    std::vector<std::string> rows;
    int width() const { return int(rows.front().size()); }
};

const Glyph& glyphFor(char ch);  // throws for a character the font lacks

// 500x50, 16 colours. The mascot (a character source) stands beside the text.
IndexedImage drawBanner(const PixelArt& mascot);

} // namespace assetgen
