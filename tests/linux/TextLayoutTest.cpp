#include "linux/TextLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace flutt::hack {
namespace {

TEST(TextLayoutTest, Utf8WithEveryBadPartReplacedOnce) {
    struct Case {
        const char* name;
        std::string_view bytes;
        std::u32string expected;
    };
    const Case cases[] = {
        {"ascii", "Hello", U"Hello"},
        {"two, three and four bytes", "\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80", U"\u00E9\u65E5\U0001F600"},
        {"a stray byte goes on after it", "Hello\xFFWorld", U"Hello\uFFFDWorld"},
        {"a lone continuation byte", "a\x80z", U"a\uFFFDz"},
        {"a sequence cut off by ASCII", "\xE2\x82z", U"\uFFFDz"},
        {"a sequence cut off at the end", "ab\xF0\x9F\x98", U"ab\uFFFD"},
        {"over-long NUL", "\xC0\x80", U"\uFFFD\uFFFD"},
        {"over-long three bytes", "\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},
        {"a surrogate", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"the last code point", "\xF4\x8F\xBF\xBF", U"\U0010FFFF"},
        {"never a lead byte", "\xF5\xC1", U"\uFFFD\uFFFD"},
        {"the NUL byte itself", std::string_view("a\0b", 3), std::u32string(U"a\0b", 3)},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeUtf8(c.bytes), c.expected) << c.name;
    EXPECT_EQ(MessageLine("one\r\ntwo\n"), U"onetwo");
}

TEST(TextLayoutTest, WidthsBeyondSixteenBitsAndOnlyTheVisiblePartDrawn) {
    const ScreenSize screen{1920, 1080};
    struct Case {
        const char* name;
        int glyphs, advance, height;
        std::int64_t width, left, top;
        PixelRect visible;
        std::size_t firstDrawn, drawn;
    };
    const Case cases[] = {
        // Centred as the saver centres: (size - extent) / 2.
        {"narrower than the screen", 10, 30, 55, 300, 810, 512, {810, 512, 1110, 567}, 0, 10},
        // 700 "W"s at 48 pt: the width a 16-bit sum still held.
        {"700 glyphs of 45", 700, 45, 55, 31500, -14790, 512, {0, 512, 1920, 567}, 328, 44},
        // 1,000: a 16-bit sum wraps to a negative width here.
        {"1000 glyphs of 45", 1000, 45, 55, 45000, -21540, 512, {0, 512, 1920, 567}, 478, 44},
        // Ten "W"s at 1000 pt: a line higher and wider than the screen.
        {"ten glyphs of 1283", 10, 1283, 1497, 12830, -5455, -208, {0, 0, 1920, 1080}, 4, 2},
        {"no width at all", 3, 0, 55, 0, 959, 512, {959, 512, 960, 567}, 0, 3},
        {"a million glyphs of 2000", 1000000, 2000, 2400, 2000000000, -999999040, -660, {0, 0, 1920, 1080}, 499999, 2},
    };
    for (const Case& c : cases) {
        const std::vector<int> advances(std::size_t(c.glyphs), c.advance);
        const LineLayout line = LayOutLine(advances, c.height, screen, 0);
        EXPECT_EQ(line.width, c.width) << c.name;
        EXPECT_EQ(line.left, c.left) << c.name;
        EXPECT_EQ(line.top, c.top) << c.name;
        EXPECT_EQ(line.visible, c.visible) << c.name;
        ASSERT_EQ(line.drawn.size(), c.drawn) << c.name;
        EXPECT_EQ(line.drawn.front().index, c.firstDrawn) << c.name;
        // Pens from the visible part's left edge, one advance apart.
        EXPECT_EQ(line.drawn.front().x, c.left + std::int64_t(c.firstDrawn) * c.advance - c.visible.left) << c.name;
        for (std::size_t i = 1; i < line.drawn.size(); ++i) {
            EXPECT_EQ(line.drawn[i].index, line.drawn[i - 1].index + 1) << c.name;
            EXPECT_EQ(line.drawn[i].x - line.drawn[i - 1].x, c.advance) << c.name;
        }
    }
    // Glyphs whose ink may reach the screen from outside it are drawn too.
    const std::vector<int> wide(1000, 45);
    EXPECT_EQ(LayOutLine(wide, 55, screen, 100).drawn.size(), 44u + 4);
}

}  // namespace
}  // namespace flutt::hack
