#include "linux/PixelFormat.h"

#include <gtest/gtest.h>

namespace flutt::hack {
namespace {

TEST(PixelFormatTest, ColoursThroughTheMasksOfEachDepth) {
    struct Case {
        const char* name;
        std::uint32_t red, green, blue;
        int depth;
        std::uint32_t colour, pixel, readBack;
    };
    const Case cases[] = {
        {"15-bit", 0x7C00, 0x3E0, 0x1F, 15, 0x808080, 0x4210, 0x848484},
        {"16-bit", 0xF800, 0x7E0, 0x1F, 16, 0xFF8000, 0xFC00, 0xFF8200},
        {"16-bit red", 0xF800, 0x7E0, 0x1F, 16, 0xFF0000, 0xF800, 0xFF0000},
        {"24-bit", 0xFF0000, 0xFF00, 0xFF, 24, 0x12AB34, 0x12AB34, 0x12AB34},
        {"24-bit, blue high", 0xFF, 0xFF00, 0xFF0000, 24, 0x12AB34, 0x34AB12, 0x12AB34},
        {"30-bit grey", 0x3FF00000, 0xFFC00, 0x3FF, 30, 0x808080, 0x20280A02, 0x808080},
        {"30-bit white", 0x3FF00000, 0xFFC00, 0x3FF, 30, 0xFFFFFF, 0x3FFFFFFF, 0xFFFFFF},
        {"32-bit ARGB: opaque", 0xFF0000, 0xFF00, 0xFF, 32, 0x12AB34, 0xFF12AB34, 0x12AB34},
    };
    for (const Case& c : cases) {
        const PixelFormat format(c.red, c.green, c.blue, c.depth);
        EXPECT_EQ(format.Encode(c.colour), c.pixel) << c.name;
        EXPECT_EQ(format.Decode(c.pixel), c.readBack) << c.name;
        EXPECT_EQ(format.Encode(format.Decode(c.pixel)), c.pixel) << c.name;
    }
}

}  // namespace
}  // namespace flutt::hack
