#include "anim/Moving.h"

#include <gtest/gtest.h>

#include <deque>
#include <tuple>

#include "anim/Random.h"
#include "platform/soft/SoftSurface.h"

namespace flutt {
namespace {

constexpr ScreenSize kFullHd = {1920, 1080};

class MovingTest : public ::testing::Test {
protected:
    MovingTest() {
        for (int i = 0; i < kCharacterCount; ++i) {
            sheets.emplace_back(32, 64 + i % 2);  // odd heights too: the bottom row is never part of a character
            slots[i] = &sheets.back();
        }
        RandomSeed(1);
    }
    // Stable addresses for the slots.
    std::deque<SoftSurface> sheets;
    SheetSlots slots{};
    SaverSettings settings;  // LR 2, LRspeed 20, updown 0, downspeed 30, all characters
};

TEST_F(MovingTest, FirstCharacterOfARunWithDefaultSettings) {
    const moving c(slots, settings, kFullHd);
    EXPECT_EQ(c.image, slots[1]);
    EXPECT_EQ(c.vx, -10);
    EXPECT_EQ(c.vy, 2);
    EXPECT_EQ(c.x, 1090);
    EXPECT_EQ(c.y, -256);
    EXPECT_EQ(c.w, 32);
    EXPECT_EQ(c.h, 32);
    EXPECT_EQ(c.frame, 0);
}

TEST_F(MovingTest, HeightIsHalfTheSheetTruncated) {
    settings.Character.fill(false);
    settings.Character[0] = true;  // slot 0: 64 high
    settings.Character[1] = true;  // slot 1: 65 high
    const moving c(slots, settings, kFullHd);
    ASSERT_EQ(c.image, slots[1]);
    EXPECT_EQ(c.h, 32);
}

TEST_F(MovingTest, ZeroHorizontalSpeedDrawsNoNumberForIt) {
    settings.LRspeed = 0;
    const moving c(slots, settings, kFullHd);
    EXPECT_EQ(c.vx, 0);
    EXPECT_EQ(c.vy, 130 % 30);        // the draw that would have been vx
    EXPECT_EQ(c.x, 10982 % 1920);
    EXPECT_EQ(c.y, -(1090 % 600));
}

TEST_F(MovingTest, ZeroVerticalSpeedStartsBelowTheScreen) {
    settings.downspeed = 0;
    const moving c(slots, settings, kFullHd);
    EXPECT_EQ(c.vy, 0);
    EXPECT_EQ(c.x, 10982 % 1920);
    EXPECT_EQ(c.y, 1080 + 1090 % 600);
}

TEST_F(MovingTest, DirectionsGiveTheirVelocityRanges) {
    struct Case {
        int LR, updown, vxMin, vxMax, vyMin, vyMax;
    };
    const Case cases[] = {
        {0, 0, -19, 0, 0, 29}, {1, 1, 0, 19, -29, 0}, {2, 2, -20, 19, -30, 29},
    };
    for (const auto& k : cases) {
        settings.LR = k.LR;
        settings.updown = k.updown;
        RandomSeed(1);
        int vxLow = 1000, vxHigh = -1000, vyLow = 1000, vyHigh = -1000;
        for (const moving& c : MakeCharacters(slots, [&] { auto s = settings; s.num = 1000; return s; }(), kFullHd)) {
            vxLow = std::min(vxLow, c.vx), vxHigh = std::max(vxHigh, c.vx);
            vyLow = std::min(vyLow, c.vy), vyHigh = std::max(vyHigh, c.vy);
            if (c.vy > 0) {
                EXPECT_TRUE(c.y <= 0 && c.y >= -599) << c.y;
            } else {
                EXPECT_TRUE(c.y >= 1080 && c.y <= 1679) << c.y;
            }
            EXPECT_TRUE(c.x >= 0 && c.x < 1920);
        }
        EXPECT_EQ(vxLow, k.vxMin) << k.LR;
        EXPECT_EQ(vxHigh, k.vxMax) << k.LR;
        EXPECT_EQ(vyLow, k.vyMin) << k.updown;
        EXPECT_EQ(vyHigh, k.vyMax) << k.updown;
    }
}

TEST_F(MovingTest, DisabledSlotsAreNeverChosen) {
    settings.Character.fill(false);
    settings.Character[13] = true;
    settings.num = 300;
    for (const moving& c : MakeCharacters(slots, settings, kFullHd)) EXPECT_EQ(c.image, slots[13]);
}

TEST_F(MovingTest, NoCharactersDrawNoNumbers) {
    settings.num = 0;
    EXPECT_TRUE(MakeCharacters(slots, settings, kFullHd).empty());
    EXPECT_EQ(RandomNext(), 346);
}

TEST_F(MovingTest, PopulationIsTheSameSequenceOfConstructions) {
    settings.num = 3;
    const auto chars = MakeCharacters(slots, settings, kFullHd);
    RandomSeed(1);
    for (const moving& c : chars) {
        const moving again(slots, settings, kFullHd);
        EXPECT_EQ(std::tie(c.image, c.x, c.y, c.vx, c.vy), std::tie(again.image, again.x, again.y, again.vx, again.vy));
    }
}

// Places a character by hand for the wrap rules.
moving At(moving c, int x, int y, int vx, int vy) {
    c.x = x, c.y = y, c.vx = vx, c.vy = vy;
    return c;
}

TEST_F(MovingTest, WrapsAroundTheScreenEdges) {
    const moving base(slots, settings, kFullHd);
    struct Case {
        int x, y, vx, vy, expectX, expectY;
    };
    const Case cases[] = {
        {100, 1075, 0, 10, 100, -27},     // falling past the bottom re-enters at the top, overshoot kept
        {100, 1070, 0, 10, 100, 1080},    // y = H is not yet wrapped
        {100, 1071, 0, 10, 100, -31},     // y = H + 1 is
        {100, 3, 0, -5, 100, 1110},       // rising wraps as soon as the top edge leaves the screen
        {100, 5, 0, -5, 100, 0},
        {100, 500, 0, 0, 100, 500},       // no vertical motion: stays
        {1918, 100, 5, 0, -32, 100},      // drifting right re-enters one width left, overshoot dropped
        {1915, 100, 5, 0, 1920, 100},
        {-30, 100, -5, 0, 1885, 100},     // drifting left shows up at once near the right edge
        {-27, 100, -5, 0, -32, 100},
        {100, -3, 0, 0, 100, 1109},       // vy 0 counts as rising
    };
    for (const auto& k : cases) {
        moving c = At(base, k.x, k.y, k.vx, k.vy);
        c.move(kFullHd);
        EXPECT_EQ(c.x, k.expectX) << k.x << "," << k.y;
        EXPECT_EQ(c.y, k.expectY) << k.x << "," << k.y;
    }
}

TEST_F(MovingTest, MoveReadsTheScreenSizeItIsGiven) {
    moving c = At(moving(slots, settings, kFullHd), 10, 641, 0, 1);
    c.move({800, 640});
    EXPECT_EQ(c.y, 642 - (640 + 32));
}

}  // namespace
}  // namespace flutt
