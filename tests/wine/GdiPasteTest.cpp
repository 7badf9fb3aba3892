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
    win::GdiSurface frame(PatternImage(testing::kPasteFrameW, testing::kPasteFrameH));
    SheetSlots slots{};
    slots.fill(&sheet);
    moving c(slots, SaverSettings{}, {testing::kPasteFrameW, testing::kPasteFrameH});
    c.x = x, c.y = y;
    c.draw(frame);
    const Image32 result = frame.ReadPixels();
    for (int fy = 0; fy < result.height; ++fy) {
        for (int fx = 0; fx < result.width; ++fx) {
            ASSERT_EQ(result.Pixel(fx, fy), testing::ExpectedAfterPaste(fx, fy, x, y))
                << "at " << fx << "," << fy << " character at " << x << "," << y;
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
    for (const auto& [x, y] : testing::kClippedPlaces) CheckPasteAt(surface, x, y);
}

TEST(GdiPasteTest, NewSurfacesAreBlack) {
    const win::GdiSurface surface(7, 5);
    for (std::uint32_t p : surface.ReadPixels().pixels) ASSERT_EQ(p, 0u);
}

}  // namespace
}  // namespace flutt
