// A character pasted through its mask onto the software surface.
#include <gtest/gtest.h>

#include "anim/Moving.h"
#include "platform/soft/Pixels.h"
#include "platform/soft/SoftSurface.h"
#include "tests/common/TestBitmaps.h"

namespace flutt {
namespace {

using testing::FramePattern;
using testing::PasteSheet;

SoftSurface PatternFrame(int w, int h) {
    SoftSurface frame(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) frame.SetPixel(x, y, FramePattern(x, y));
    return frame;
}

// Draws the sheet as a character at (x, y) and checks every frame pixel.
void CheckPasteAt(const SoftSurface& sheet, int x, int y) {
    SoftSurface frame = PatternFrame(testing::kPasteFrameW, testing::kPasteFrameH);
    SheetSlots slots{};
    slots.fill(&sheet);
    SaverSettings settings;
    moving c(slots, settings, {testing::kPasteFrameW, testing::kPasteFrameH});
    c.x = x, c.y = y;
    c.draw(frame);
    for (int fy = 0; fy < frame.Height(); ++fy) {
        for (int fx = 0; fx < frame.Width(); ++fx) {
            ASSERT_EQ(frame.Pixel(fx, fy), testing::ExpectedAfterPaste(fx, fy, x, y))
                << "at " << fx << "," << fy << " character at " << x << "," << y;
        }
    }
}

TEST(MaskedPasteTest, EverySheetDepthPastesExactly) {
    const PasteSheet sheet;
    for (int bpp : {8, 16, 24}) {
        SCOPED_TRACE(bpp);
        const auto decoded = DecodeBmp(testing::EncodeBmp(sheet.image, bpp));
        ASSERT_TRUE(decoded.has_value());
        ASSERT_EQ(decoded->pixels, sheet.image.pixels);
        const SoftSurface surface(decoded->width, decoded->height, decoded->pixels);
        CheckPasteAt(surface, 10, 8);
    }
}

TEST(MaskedPasteTest, ClipsAtAllFourEdges) {
    const PasteSheet sheet;
    const SoftSurface surface(sheet.image.width, sheet.image.height, sheet.image.pixels);
    for (const auto& [x, y] : testing::kClippedPlaces) CheckPasteAt(surface, x, y);
}

// k times larger is pixel for pixel the plain paste on a frame k times
// smaller, enlarged: at every clipped place, under a clip, and for a cell
// that reaches past the sheet's right edge (whose outside part leaves the
// frame as it is). k = 9 makes rows wider than the paste's scratch rows.
TEST(MaskedPasteTest, ScaledPasteIsThePlainPasteEnlarged) {
    const PasteSheet sheet;
    const SoftSurface surface(sheet.image.width, sheet.image.height, sheet.image.pixels);
    const int W = testing::kPasteFrameW, H = testing::kPasteFrameH;
    const PixelRect clip{3, 2, 60, 45};
    for (int k : {2, 3, 9}) {
        for (int sx : {0, 16}) {
            for (const auto& [x, y] : testing::kClippedPlaces) {
                SCOPED_TRACE("k " + std::to_string(k) + " sx " +
                             std::to_string(sx) + " at " + std::to_string(x) + "," + std::to_string(y));
                SoftSurface small = PatternFrame(W, H), large(k * W, k * H);
                for (int py = 0; py < k * H; ++py)
                    for (int px = 0; px < k * W; ++px) large.SetPixel(px, py, small.Pixel(px / k, py / k));
                PasteMasked(small.Pixels(), clip, surface.Pixels(), sx, 0, 32, 32, x, y);
                const PixelRect largeClip{k * clip.left, k * clip.top, k * clip.right, k * clip.bottom};
                PasteMaskedScaled(large.Pixels(), largeClip, surface.Pixels(), sx, 0, 32, 32, k * x, k * y, k);
                SoftSurface expected(k * W, k * H);
                for (int py = 0; py < k * H; ++py)
                    for (int px = 0; px < k * W; ++px) expected.SetPixel(px, py, small.Pixel(px / k, py / k));
                ASSERT_EQ(testing::FirstDifference(large.Pixels(), expected.Pixels()), "");
            }
        }
    }
}

}  // namespace
}  // namespace flutt
