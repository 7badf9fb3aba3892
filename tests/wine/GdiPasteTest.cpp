// Characters pasted through their masks with real GDI block transfers.
#include <gtest/gtest.h>

#include "anim/Moving.h"
#include "platform/win/GdiSurface.h"
#include "tests/common/TestBitmaps.h"

namespace flutt {
namespace {

using testing::FramePattern;
using testing::PasteSheet;

Image32 PatternImage(int w, int h) {
    Image32 image{w, h, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.pixels.push_back(FramePattern(x, y));
    return image;
}

void CheckPasteAt(const win::GdiSurface& sheet, int x, int y) {
    win::GdiSurface frame(PatternImage(64, 48));
    SheetSlots slots{};
    slots.fill(&sheet);
    moving c(slots, SaverSettings{}, {64, 48});
    c.x = x, c.y = y;
    c.draw(frame);
    const Image32 result = frame.ReadPixels();
    for (int fy = 0; fy < 48; ++fy) {
        for (int fx = 0; fx < 64; ++fx) {
            const int sx = fx - x, sy = fy - y;
            const bool inside = sx >= 0 && sx < 32 && sy >= 0 && sy < 32;
            const std::uint32_t expected = inside ? PasteSheet::Expected(sx, sy, FramePattern(fx, fy)) : FramePattern(fx, fy);
            ASSERT_EQ(result.Pixel(fx, fy), expected) << "at " << fx << "," << fy << " character at " << x << "," << y;
        }
    }
}

// Needs a 24- or 32-bit display (the test display is 24-bit), where every
// colour of the test sheet and frame is exact.
TEST(GdiPasteTest, EverySheetDepthPastesExactly) {
    const PasteSheet sheet;
    for (int bpp : {8, 16, 24}) {
        SCOPED_TRACE(bpp);
        const auto decoded = DecodeBmp(testing::EncodeBmp(sheet.image, bpp));
        ASSERT_TRUE(decoded.has_value());
        const win::GdiSurface surface(*decoded);
        ASSERT_EQ(surface.ReadPixels().pixels, sheet.image.pixels);
        CheckPasteAt(surface, 10, 8);
    }
}

TEST(GdiPasteTest, ClipsAtAllFourEdges) {
    const win::GdiSurface surface(PasteSheet().image);
    const std::pair<int, int> places[] = {{-10, 5}, {50, 5}, {5, -20}, {5, 40}, {-31, -31}, {63, 47}, {-40, 0}};
    for (const auto& [x, y] : places) CheckPasteAt(surface, x, y);
}

TEST(GdiPasteTest, NewSurfacesAreBlack) {
    const win::GdiSurface surface(7, 5);
    for (std::uint32_t p : surface.ReadPixels().pixels) ASSERT_EQ(p, 0u);
}

}  // namespace
}  // namespace flutt
