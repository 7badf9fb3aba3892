// The message line's text and geometry, before any font is asked: its code
// points from the UTF-8 of the command line, and where its glyphs go on the
// screen given their advances. Plain logic, no X11.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "anim/Moving.h"
#include "platform/soft/Pixels.h"

namespace flutt::hack {

inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

// UTF-8 as code points. Every maximal part of a sequence that cannot be
// completed (a stray byte, a cut-off or over-long sequence, a surrogate or a
// value past U+10FFFF) reads as one U+FFFD, and decoding goes on after it.
std::u32string DecodeUtf8(std::string_view text);

// The message as one line: its code points without line breaks.
std::u32string MessageLine(std::string_view utf8);

// The message's line on a screen: the box, the part of it that can be seen,
// and the glyphs that can reach that part.
struct LineLayout {
    // The whole line, centred as the saver centres it: (size - extent) / 2.
    // Widths are summed in 64 bits; a line may be far wider than any screen.
    std::int64_t left = 0, top = 0, width = 0;
    int height = 0;
    // The part of the box on the screen: all the rasteriser draws.
    PixelRect visible;
    struct Glyph {
        std::size_t index;  // into the advances
        int x;              // pen position, relative to visible.left
    };
    // In order, the glyphs whose pen lies within `reach` pixels of the
    // visible part, or whose advance touches it.
    std::vector<Glyph> drawn;
};

// `advances` are the glyphs' advance widths in pixels, `height` the line's;
// `reach` is how far a glyph's ink may stray from its advance box.
LineLayout LayOutLine(std::span<const int> advances, int height, ScreenSize screen, int reach);

}  // namespace flutt::hack
