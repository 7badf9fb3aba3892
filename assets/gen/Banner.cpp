#include "Banner.h"

#include "Canvas.h"
#include "Palette.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace assetgen {
namespace {

const std::vector<Glyph>& font() {
    static const std::vector<Glyph> glyphs{
        {' ', {"...", "...", "...", "...", "...", "...", "..."}},
        {'!', {"#", "#", "#", "#", "#", ".", "#"}},
        {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
        {'S', {".###.", "#...#", "#....", ".###.", "....#", "#...#", ".###."}},
        {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
        {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
        {'l', {"##.", ".#.", ".#.", ".#.", ".#.", ".#.", ".##"}},
        {'n', {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
        {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
        {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
        {'s', {".....", ".....", ".####", "#....", ".###.", "....#", "####."}},
        {'t', {".#..", ".#..", "####", ".#..", ".#..", ".#..", "..##"}},
        {'u', {".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"}},
        {'v', {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    };
    return glyphs;
}

// The banner's sixteen colours.
enum Ink : std::uint8_t {
    Sky0, Sky1, Sky2, Sky3, Sky4, Sky5,  // darkest to lightest
    Outline, White, Yellow, Orange, Red, Pink, Cream, DarkRed, Pale, Black,
};
const std::array<Rgb, 16> kBannerPalette{{
    {12, 24, 64}, {22, 48, 110}, {34, 78, 156}, {52, 112, 196}, {84, 150, 226}, {130, 190, 244},
    {24, 16, 44}, {255, 255, 255}, {255, 226, 60}, {255, 158, 36}, {222, 44, 38}, {250, 160, 172},
    {255, 236, 214}, {120, 20, 34}, {200, 222, 255}, {0, 0, 0},
}};

constexpr int kScale = 4;

std::uint8_t nearestInk(Rgb c) {
    std::uint8_t best = 0;
    long bestD = -1;
    for (std::size_t i = 0; i < kBannerPalette.size(); ++i) {
        const long dr = long(c.r) - kBannerPalette[i].r, dg = long(c.g) - kBannerPalette[i].g,
                   db = long(c.b) - kBannerPalette[i].b;
        const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (bestD < 0 || d < bestD) {
            bestD = d;
            best = std::uint8_t(i);
        }
    }
    return best;
}

} // namespace

const Glyph& glyphFor(char ch) {
    for (const Glyph& g : font())
        if (g.ch == ch) return g;
    throw AssetError(std::string("the banner font has no '") + ch + "'");
}

IndexedImage drawBanner(const PixelArt& mascot) {
    IndexedImage b(kBannerWidth, kBannerHeight);
    b.palette.assign(kBannerPalette.begin(), kBannerPalette.end());

    // Sky: light at the top to deep at the bottom, ordered-dithered between the six blues.
    for (int y = 0; y < kBannerHeight; ++y)
        for (int x = 0; x < kBannerWidth; ++x) {
            const double t = 5.0 * (1 - y / double(kBannerHeight - 1)) * (0.8 + 0.2 * x / double(kBannerWidth));
            b.at(x, y) = std::uint8_t(std::clamp(std::lround(t + bayer8(x, y)), 0l, 5l));
        }
    // A few twinkles.
    Sequence rnd(50);
    for (int i = 0; i < 26; ++i) {
        const int x = int(rnd.between(2, kBannerWidth - 3)), y = int(rnd.between(2, kBannerHeight - 3));
        b.at(x, y) = Pale;
        if (rnd.next() < 0.35) {
            b.at(x - 1, y) = b.at(x + 1, y) = b.at(x, y - 1) = b.at(x, y + 1) = Sky5;
            b.at(x, y) = White;
        }
    }

    // Lay out the text: glyph pixels become kScale x kScale blocks, one font pixel between glyphs.
    int units = 0;
    for (const char* p = kBannerText; *p; ++p) units += glyphFor(*p).width() + (p[1] ? 1 : 0);
    const int textWidth = units * kScale, textHeight = 7 * kScale;
    const int gap = 12;
    const int totalWidth = mascot.width + gap + textWidth;
    const int left = (kBannerWidth - totalWidth) / 2;
    const int textLeft = left + mascot.width + gap;
    const int textTop = (kBannerHeight - textHeight) / 2;

    std::vector<bool> ink(std::size_t(kBannerWidth) * kBannerHeight, false);
    int penX = textLeft;
    for (const char* p = kBannerText; *p; ++p) {
        const Glyph& g = glyphFor(*p);
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < g.width(); ++c)
                if (g.rows[r][c] == '#')
                    for (int dy = 0; dy < kScale; ++dy)
                        for (int dx = 0; dx < kScale; ++dx)
                            ink[std::size_t(textTop + r * kScale + dy) * kBannerWidth + penX + c * kScale + dx] = true;
        penX += (g.width() + 1) * kScale;
    }
    auto inked = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < kBannerWidth && y < kBannerHeight && ink[std::size_t(y) * kBannerWidth + x];
    };
    // Shadow, then a two-pixel outline, then the letters: yellow above, orange below, a white glint on top edges.
    for (int y = 0; y < kBannerHeight; ++y)
        for (int x = 0; x < kBannerWidth; ++x)
            if (inked(x - 3, y - 3)) b.at(x, y) = Sky0;
    for (int y = 0; y < kBannerHeight; ++y)
        for (int x = 0; x < kBannerWidth; ++x) {
            bool near = false;
            for (int dy = -2; dy <= 2 && !near; ++dy)
                for (int dx = -2; dx <= 2 && !near; ++dx)
                    if (std::abs(dx) + std::abs(dy) <= 3 && inked(x + dx, y + dy)) near = true;
            if (near) b.at(x, y) = Outline;
        }
    for (int y = 0; y < kBannerHeight; ++y)
        for (int x = 0; x < kBannerWidth; ++x) {
            if (!inked(x, y)) continue;
            const bool lower = (y - textTop) >= textHeight * 5 / 8;
            b.at(x, y) = lower ? Orange : Yellow;
            if (!inked(x, y - 1) && !inked(x - 1, y)) b.at(x, y) = White;
        }

    // The mascot at its own size, each colour taken to the nearest banner colour.
    const int mascotTop = (kBannerHeight - mascot.height) / 2;
    for (int y = 0; y < mascot.height; ++y)
        for (int x = 0; x < mascot.width; ++x)
            if (!mascot.isTransparent(x, y)) b.at(left + x, mascotTop + y) = nearestInk(mascot.ink(x, y).colour);
    return b;
}

} // namespace assetgen
