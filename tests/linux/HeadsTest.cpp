#include "linux/Heads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace flutt::hack {
namespace {

// The two-head screen of the tests: 1920 x 1080 and, to its right, 1280 x 1024.
const PixelRect kLeft{0, 0, 1920, 1080};
const PixelRect kRight{1920, 0, 3200, 1024};

TEST(HeadsTest, MirroredAndEmptyHeadsCountOnce) {
    // Xvfb with +xinerama and three screens names three heads at 0,0.
    EXPECT_EQ(DistinctHeads(std::vector<PixelRect>{kLeft, kLeft, kLeft}), std::vector<PixelRect>{kLeft});
    EXPECT_EQ(DistinctHeads(std::vector<PixelRect>{kRight, {5, 5, 5, 9}, kLeft, kRight}),
              (std::vector<PixelRect>{kRight, kLeft}));
}

TEST(HeadsTest, HeadsInAWindowAreInItsCoordinatesAndCutToIt) {
    const std::vector<PixelRect> heads{kLeft, kRight};
    struct Case {
        PixelRect window;  // root coordinates
        std::vector<PixelRect> expected;
    } const cases[] = {
        // The root window: the heads as they are.
        {{0, 0, 3200, 1080}, {kLeft, kRight}},
        // A window across the seam, partly above and left of the screen:
        // negative root coordinates.
        {{-100, -50, 2100, 950}, {{100, 50, 2020, 1000}, {2020, 50, 2200, 1000}}},
        // In the strip below the right head, which no head shows: one head of itself.
        {{2000, 1030, 2100, 1080}, {{0, 0, 100, 50}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HeadsInWindow(heads, c.window), c.expected) << c.window.left << "," << c.window.top;
    }
    // A server that names no head: the window is one.
    EXPECT_EQ(HeadsInWindow({}, PixelRect{10, 10, 50, 30}), (std::vector<PixelRect>{{0, 0, 40, 20}}));
}

TEST(HeadsTest, UncoveredIsWhatNoHeadShows) {
    EXPECT_EQ(Uncovered({0, 0, 3200, 1080}, std::vector<PixelRect>{kLeft, kRight}),
              (std::vector<PixelRect>{{1920, 1024, 3200, 1080}}));
    EXPECT_EQ(Uncovered({0, 0, 1920, 1080}, std::vector<PixelRect>{kLeft}), std::vector<PixelRect>{});
    // Overlapping heads in the middle of an area: what is left does not
    // overlap, and each pixel is either left or under a head.
    const std::vector<PixelRect> covered{{2, 2, 6, 6}, {4, 4, 8, 8}};
    const std::vector<PixelRect> left = Uncovered({0, 0, 10, 10}, covered);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const auto holds = [&](const PixelRect& r) {
                return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            };
            EXPECT_EQ(std::ranges::count_if(left, holds), std::ranges::any_of(covered, holds) ? 0 : 1) << x << "," << y;
        }
    }
}

TEST(HeadsTest, AHeadsPartOfTheDesktop) {
    Image32 desktop{4, 3, {}};
    for (std::uint32_t i = 0; i < 12; ++i) desktop.pixels.push_back(i);
    const std::optional<Image32> part = PartOf(desktop, {1, 1, 3, 5});
    ASSERT_TRUE(part);
    EXPECT_EQ(part->width, 2);
    EXPECT_EQ(part->height, 2);
    EXPECT_EQ(part->pixels, (std::vector<std::uint32_t>{5, 6, 9, 10}));
    EXPECT_FALSE(PartOf(desktop, {4, 0, 8, 3}));
}

}  // namespace
}  // namespace flutt::hack
