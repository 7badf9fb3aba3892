// The frame pipeline against the frame rebuilt whole on every tick (the
// background copied, each character moved and pasted in table order), and
// against what a front end that presents only the reported boxes shows.
#include "anim/FramePipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <deque>
#include <new>
#include <string>
#include <utility>

#include "anim/Random.h"
#include "platform/soft/SoftSurface.h"
#include "tests/common/TestBitmaps.h"

namespace flutt {
namespace {

std::atomic<long> allocations{0};

struct Mix {
    const char* name;
    ScreenSize screen;
    int num;
    int LR, LRspeed, updown, downspeed;
    int band = 0;  // the background's rows repeat every `band` rows (0: as high as the screen)
};

void PrintTo(const Mix& mix, std::ostream* out) { *out << mix.name; }

// The cells of the characters on a frame k times the logical screen.
std::vector<PixelRect> CellsOf(const std::vector<moving>& characters, PixelRect frame, int k = 1) {
    std::vector<PixelRect> cells;
    for (const moving& c : characters) {
        cells.push_back(Intersect({k * c.x, k * c.y, k * (c.x + c.w), k * (c.y + c.h)}, frame));
    }
    return cells;
}

// A step that changed part of the frame reports exactly the cells that
// characters left or entered, each pixel once; "" when it does.
std::string ReportsExactlyTheMovedCells(const FrameChanges& changes, const std::vector<PixelRect>& before,
                                        const std::vector<PixelRect>& after, PixelRect frame) {
    std::vector<int> covered(std::size_t(frame.right) * frame.bottom), moved(covered.size());
    const auto mark = [&](std::vector<int>& marks, const PixelRect& r, bool once) {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                int& m = marks[std::size_t(y) * frame.right + x];
                m = once ? m + 1 : 1;
            }
    };
    for (const PixelRect& r : changes.rects) {
        if (Intersect(r, frame) != r) return "a rectangle outside the frame";
        mark(covered, r, true);
    }
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] == after[i]) continue;
        mark(moved, before[i], false);
        mark(moved, after[i], false);
    }
    for (std::size_t p = 0; p < covered.size(); ++p) {
        if (covered[p] > 1 || covered[p] != moved[p]) {
            return "pixel (" + std::to_string(p % frame.right) + ", " + std::to_string(p / frame.right) +
                   "): reported " + std::to_string(covered[p]) + " times, moved " + std::to_string(moved[p]);
        }
    }
    return "";
}

// Small screens make characters cross every edge, wrap and pile up; a crowd
// changes most of the frame at every step, the others only parts of it.
constexpr Mix kMixes[] = {
    {"crowd both ways", {160, 120}, 1000, 2, 10, 2, 10},
    {"falling right", {800, 300}, 20, 1, 3, 0, 25},
    {"rising left, odd size", {397, 261}, 12, 0, 7, 1, 9},
    {"rising left over a band of 7 rows", {397, 261}, 12, 0, 7, 1, 9, 7},
    {"fast sideways", {900, 200}, 30, 2, 30, 0, 8},
    {"fast sideways over a band of 64 rows", {900, 200}, 30, 2, 30, 0, 8, 64},
    {"default speeds", {800, 600}, 25, 2, 20, 0, 30},
    {"none", {200, 100}, 0, 2, 20, 0, 30},
    {"standing still", {200, 100}, 30, 2, 0, 0, 0},
};

class PipelineSheets : public ::testing::Test {
protected:
    PipelineSheets() {
        // Sheets of several sizes: the test sheet with every kind of mask
        // pixel, a narrow one and one of odd height.
        const testing::PasteSheet paste;
        sheets.emplace_back(paste.image.width, paste.image.height, paste.image.pixels);
        sheets.push_back(Sheet(20, 30));
        sheets.push_back(Sheet(40, 81));
        for (int i = 0; i < kCharacterCount; ++i) slots[i] = &sheets[std::size_t(i) % sheets.size()];
    }

    // A sheet whose mask is a disc with a grey ring, its colour a gradient.
    static SoftSurface Sheet(int w, int fullHeight) {
        const int h = fullHeight / 2;
        SoftSurface sheet(w, fullHeight, 0xFFFFFF);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int dx = 2 * x - w, dy = 2 * y - h, r2 = dx * dx + dy * dy, R2 = std::min(w, h) * std::min(w, h);
                const std::uint32_t mask = r2 < R2 / 2 ? 0 : r2 < R2 ? 0x212121 : 0xFFFFFF;
                sheet.SetPixel(x, y + h, mask);
                sheet.SetPixel(x, y, mask == 0xFFFFFF ? 0xFFFFFF : std::uint32_t(x * 0x0A0000 + y * 0x000700 + 0x33));
            }
        return sheet;
    }

    // The mix's characters, placed by the random generator from `seed`.
    std::vector<moving> Population(const Mix& mix, std::uint32_t seed) const {
        SaverSettings settings;
        settings.num = mix.num;
        settings.LR = mix.LR, settings.LRspeed = mix.LRspeed, settings.updown = mix.updown;
        settings.downspeed = mix.downspeed;
        RandomSeed(seed);
        return MakeCharacters(slots, settings, mix.screen);
    }

    std::deque<SoftSurface> sheets;
    SheetSlots slots{};
};

class FramePipelineTest : public PipelineSheets, public ::testing::WithParamInterface<Mix> {};

TEST_P(FramePipelineTest, EveryStepEqualsTheFrameRebuiltWhole) {
    const Mix& mix = GetParam();
    const int W = mix.screen.W, H = mix.screen.H;
    std::vector<moving> characters = Population(mix, 1);
    std::vector<moving> reference = characters;

    const int bandH = mix.band ? mix.band : H;
    SoftSurface background(W, bandH), wholeBackground(W, H), whole(W, H), frame(W, H), presented(W, H, 0x123456);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (y < bandH) background.SetPixel(x, y, testing::FramePattern(x, y));
            wholeBackground.SetPixel(x, y, testing::FramePattern(x, y % bandH));
        }
    FramePipeline pipeline(frame.Pixels(), std::as_const(background).Pixels());

    int partial = 0;  // steps that changed part of the frame
    for (int tick = 0; tick < 150; ++tick) {
        SCOPED_TRACE(tick);
        const std::vector<PixelRect> before = CellsOf(reference, frame.Pixels().Bounds());
        whole.Transfer(0, 0, W, H, wholeBackground, 0, 0, RasterOp::SrcCopy);
        for (moving& c : reference) {
            c.move(mix.screen);
            c.draw(whole);
        }

        const FrameChanges& changes = pipeline.Step(characters, mix.screen);
        ASSERT_EQ(changes.whole, tick == 0 || changes.rects == std::vector{frame.Pixels().Bounds()});
        partial += !changes.whole && !changes.rects.empty();
        if (!changes.whole) {
            ASSERT_EQ(ReportsExactlyTheMovedCells(changes, before, CellsOf(reference, frame.Pixels().Bounds()),
                                                  frame.Pixels().Bounds()),
                      "");
        }
        for (const PixelRect& r : changes.boxes) {
            ASSERT_EQ(Intersect(r, frame.Pixels().Bounds()), r);
            CopyPixels(presented.Pixels(), std::as_const(frame).Pixels(), r);
        }

        ASSERT_EQ(testing::FirstDifference(frame.Pixels(), whole.Pixels()), "") << "frame";
        ASSERT_EQ(testing::FirstDifference(presented.Pixels(), whole.Pixels()), "") << "presented";
        if (tick > 0 && (mix.num == 0 || mix.downspeed + mix.LRspeed == 0)) {
            EXPECT_TRUE(changes.rects.empty());  // nothing moves: nothing to do
        }
    }
    if (mix.num > 0 && mix.num < 1000 && mix.downspeed + mix.LRspeed > 0) {
        EXPECT_GT(partial, 100);
    }
}

INSTANTIATE_TEST_SUITE_P(Mixes, FramePipelineTest, ::testing::ValuesIn(kMixes),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& ch : name) ch = std::isalnum((unsigned char)ch) ? ch : '_';
                             return name;
                         });

// At scale k the frame is the logical frame enlarged k times, pixel for
// pixel, at every step and as presented through the reported changes. (On a
// physical screen that k does not divide, the strip past k times the logical
// screen holds the background and the parts of characters that reach into it.)
TEST_F(PipelineSheets, ScaledStepEqualsTheLogicalFrameEnlarged) {
    for (const Mix& mix : {kMixes[1], kMixes[2], kMixes[3]}) {
        SCOPED_TRACE(mix.name);
        const int W = mix.screen.W, H = mix.screen.H;
        std::vector<moving> logicalCharacters = Population(mix, 2);

        SoftSurface background(W, H), frame(W, H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) background.SetPixel(x, y, testing::FramePattern(x, y));

        for (int k : {2, 3}) {
            SCOPED_TRACE(k);
            std::vector<moving> characters = logicalCharacters;
            const int PW = k * W + k - 1, PH = k * H + 1;  // a physical screen that k does not divide
            SoftSurface scaledBackground(PW, PH, 0xABCDEF), scaledFrame(PW, PH), presented(PW, PH, 0x123456);
            EnlargePixels(scaledBackground.Pixels(), std::as_const(background).Pixels(), k);
            FramePipeline scaled(scaledFrame.Pixels(), std::as_const(scaledBackground).Pixels(), k);
            std::vector<moving> stepped = logicalCharacters;
            FramePipeline reference(frame.Pixels(), std::as_const(background).Pixels());

            int partial = 0;
            for (int tick = 0; tick < 40; ++tick) {
                SCOPED_TRACE(tick);
                const PixelRect bounds = scaledFrame.Pixels().Bounds();
                const std::vector<PixelRect> before = CellsOf(characters, bounds, k);
                reference.Step(stepped, mix.screen);
                const FrameChanges& changes = scaled.Step(characters, mix.screen);
                partial += !changes.whole && !changes.rects.empty();
                if (!changes.whole && k == 2) {
                    ASSERT_EQ(ReportsExactlyTheMovedCells(changes, before, CellsOf(characters, bounds, k), bounds),
                              "");
                }
                for (const PixelRect& r : changes.boxes) {
                    CopyPixels(presented.Pixels(), std::as_const(scaledFrame).Pixels(), r);
                }
                SoftSurface expected(k * W, k * H);
                for (int y = 0; y < k * H; ++y)
                    for (int x = 0; x < k * W; ++x) expected.SetPixel(x, y, frame.Pixel(x / k, y / k));
                const auto enlarged = [&](SoftSurface& s) {
                    return ConstPixelView{s.Pixels().pixels, k * W, k * H, PW};
                };
                ASSERT_EQ(testing::FirstDifference(enlarged(scaledFrame), expected.Pixels()), "") << "frame";
                ASSERT_EQ(testing::FirstDifference(enlarged(presented), expected.Pixels()), "") << "presented";
            }
            EXPECT_GT(partial, 20);
        }
    }
}

// Once its buffers have grown to what the frames need, a step allocates
// nothing: a long run does not wear the heap, however many frames it shows.
// The same 300 frames are shown twice; the second time allocates nothing.
TEST_F(PipelineSheets, StepsAfterTheFirstFramesAllocateNothing) {
    for (const Mix& mix : {kMixes[0], kMixes[4]}) {
        SCOPED_TRACE(mix.name);
        const std::vector<moving> start = Population(mix, 3);
        std::vector<moving> characters = start;
        SoftSurface background(mix.screen.W, mix.screen.H, 0x808080), frame(mix.screen.W, mix.screen.H);
        FramePipeline pipeline(frame.Pixels(), std::as_const(background).Pixels());
        for (int tick = 0; tick < 300; ++tick) pipeline.Step(characters, mix.screen);
        const long before = allocations;
        characters = start;
        long partial = 0;
        for (int tick = 0; tick < 300; ++tick) partial += !pipeline.Step(characters, mix.screen).whole;
        EXPECT_EQ(allocations - before, 0);
        if (mix.num < 1000) {
            EXPECT_GT(partial, 200);
        }
    }
}

}  // namespace
}  // namespace flutt

// Every allocation of this program is counted. (GCC takes the pairs below
// for a mismatch once they are inlined into a caller.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    ++flutt::allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
