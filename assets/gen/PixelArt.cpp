#include "PixelArt.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace assetgen {
namespace {

std::string trimRight(std::string s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.pop_back();
    return s;
}

[[noreturn]] void fail(const std::string& origin, int line, const std::string& what) {
    throw AssetError(origin + ":" + std::to_string(line) + ": " + what);
}

Ink parseInk(const std::string& rest, const std::string& origin, int line) {
    std::istringstream in(rest);
    int r = -1, g = -1, b = -1;
    if (!(in >> r >> g >> b) || r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255)
        fail(origin, line, "expected three values 0..255");
    Ink ink{Rgb{std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)}, Ink::Kind::Solid};
    std::string flag;
    if (in >> flag) {
        if (flag == "outline") ink.kind = Ink::Kind::Outline;
        else if (flag == "lit") ink.kind = Ink::Kind::Lit;
        else fail(origin, line, "unknown flag '" + flag + "'");
    }
    std::string extra;
    if (in >> extra) fail(origin, line, "unexpected '" + extra + "'");
    return ink;
}

} // namespace

PixelArt parsePixelArt(const std::string& text, const std::string& origin) {
    PixelArt art;
    art.origin = origin;
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    bool inGrid = false;
    while (std::getline(in, raw)) {
        ++lineNo;
        const std::string line = trimRight(raw);
        if (!inGrid) {
            if (line.empty() || line[0] == '#') continue;
            if (line == "grid") {
                inGrid = true;
                continue;
            }
            // "<c> = r g b [flag]"
            if (line.size() < 4 || line[1] != ' ' || line[2] != '=')
                fail(origin, lineNo, "expected '<char> = r g b [outline|lit]' or 'grid'");
            const char key = line[0];
            if (key == kTransparentCell || key == '#' || key == ' ')
                fail(origin, lineNo, "'" + std::string(1, key) + "' cannot name a colour");
            if (art.legend.count(key)) fail(origin, lineNo, "colour '" + std::string(1, key) + "' defined twice");
            art.legend[key] = parseInk(line.substr(3), origin, lineNo);
            continue;
        }
        if (line.empty()) {
            // Blank lines may only trail the grid.
            std::string restLine;
            while (std::getline(in, restLine))
                if (!trimRight(restLine).empty()) fail(origin, lineNo, "blank line inside the grid");
            break;
        }
        if (art.width == 0) art.width = int(line.size());
        if (int(line.size()) != art.width)
            fail(origin, lineNo, "row is " + std::to_string(line.size()) + " wide, expected " + std::to_string(art.width));
        for (char c : line)
            if (c != kTransparentCell && !art.legend.count(c))
                fail(origin, lineNo, "'" + std::string(1, c) + "' is not in the legend");
        art.cells.insert(art.cells.end(), line.begin(), line.end());
        ++art.height;
    }
    if (!inGrid || art.height == 0) throw AssetError(origin + ": no grid");
    for (const auto& [key, ink] : art.legend)
        if (std::find(art.cells.begin(), art.cells.end(), key) == art.cells.end())
            throw AssetError(origin + ": colour '" + std::string(1, key) + "' is defined but not used");
    return art;
}

PixelArt loadPixelArt(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw AssetError("cannot read " + file.string());
    std::ostringstream text;
    text << in.rdbuf();
    return parsePixelArt(text.str(), file.filename().string());
}

void requireSize(const PixelArt& art, int width, int height) {
    if (art.width != width || art.height != height)
        throw AssetError(art.origin + ": grid is " + std::to_string(art.width) + "x" + std::to_string(art.height) +
                         ", expected " + std::to_string(width) + "x" + std::to_string(height));
}

} // namespace assetgen
