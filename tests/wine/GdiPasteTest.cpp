// Characters pasted through their masks with real GDI block transfers.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "anim/Moving.h"
#include "platform/win/GdiSurface.h"
#include "platform/win/Resources_win.h"
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

// Surfaces are 32-bit bitmaps whatever the display's depth: every colour of
// the test sheet and frame is exact.
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

// The frame pipeline's own paste against GDI's two block transfers, on every
// sheet the saver carries, inside the frame and across every edge and corner.
// The frame holds pixels with their top byte set as well: on 32-bit bitmaps
// GDI combines all 32 bits, and so must the paste.
TEST(GdiPasteTest, SoftwarePasteEqualsBitBltOnEverySheet) {
    constexpr int W = 64, H = 48;
    auto framePixel = [](int x, int y) {
        const std::uint32_t top = (x * 7 + y) % 3 == 0 ? 0xFF000000u : (x + y) % 5 == 0 ? 0x5A000000u : 0u;
        return FramePattern(x, y) | top;
    };
    for (int i = 0; i < kCharacterCount; ++i) {
        const auto sheet = win::LoadPicture(::GetModuleHandleW(nullptr), (L"imgChar" + std::to_wstring(i)).c_str());
        SheetSlots slots{};
        slots.fill(sheet.get());
        moving c(slots, SaverSettings{}, {W, H});
        for (int x : {-40, -32, -31, -1, 0, 13, 32, 33, 63, 64}) {
            for (int y : {-40, -32, -31, -1, 0, 9, 16, 17, 47, 48}) {
                win::GdiSurface gdi(W, H);
                std::vector<std::uint32_t> soft(std::size_t(W) * H);
                for (int fy = 0; fy < H; ++fy)
                    for (int fx = 0; fx < W; ++fx) gdi.Pixels().Row(fy)[fx] = soft[std::size_t(fy) * W + fx] = framePixel(fx, fy);
                c.x = x, c.y = y;
                c.draw(gdi);
                ::GdiFlush();
                const PixelView softView{soft.data(), W, H, W};
                PasteMasked(softView, softView.Bounds(), std::as_const(*sheet).Pixels(), 0, 0, c.w, c.h, x, y);
                ASSERT_EQ(testing::FirstDifference(softView, std::as_const(gdi).Pixels()), "")
                    << "sheet " << i << " at " << x << "," << y;
            }
        }
    }
}

TEST(GdiPasteTest, NewSurfacesAreBlack) {
    const win::GdiSurface surface(7, 5);
    for (std::uint32_t p : surface.ReadPixels().pixels) ASSERT_EQ(p, 0u);
}

}  // namespace
}  // namespace flutt
