// Pixel-art sources: a legend that maps one character to a colour, then a grid of those
// characters, one text line per pixel row. '.' is transparent.
//
//   # comment
//   K = 30 20 24            solid colour: opaque in the mask
//   a = 40 40 40 outline    a soft outline pixel: the mask holds this grey too
//   b = 40 40 40 lit        the mask holds this grey, the colour half white
//   grid
//   ....KKKK....
//
#pragma once

#include "Image.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace assetgen {

struct Ink {
    enum class Kind { Solid, Outline, Lit };
    Rgb colour;
    Kind kind = Kind::Solid;
};

struct PixelArt {
    std::string origin;  // where it came from, for messages
    int width = 0;
    int height = 0;
    std::vector<char> cells;  // row by row, top row first
    std::map<char, Ink> legend;

    char cell(int x, int y) const { return cells[std::size_t(y) * width + x]; }
    bool isTransparent(int x, int y) const { return cell(x, y) == '.'; }
    const Ink& ink(int x, int y) const { return legend.at(cell(x, y)); }
};

inline constexpr char kTransparentCell = '.';

PixelArt parsePixelArt(const std::string& text, const std::string& origin);
PixelArt loadPixelArt(const std::filesystem::path& file);

// Throws unless the grid is exactly width x height.
void requireSize(const PixelArt& art, int width, int height);

} // namespace assetgen
