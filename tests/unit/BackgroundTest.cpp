#include "anim/Background.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "anim/Random.h"
#include "platform/soft/SoftSurface.h"

namespace flutt {
namespace {

TEST(BackgroundTest, TablesOfBothBuilds) {
    const auto full = BackgroundTable(false);
    ASSERT_EQ(full.size(), 9u);
    const BackgroundFill fills[] = {BackgroundFill::DesktopCopy, BackgroundFill::Stretch, BackgroundFill::Stretch,
                                    BackgroundFill::Tile,        BackgroundFill::Tile,    BackgroundFill::Tile,
                                    BackgroundFill::Stretch,     BackgroundFill::Tile,    BackgroundFill::Tile};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(full[i].fill, fills[i]) << i;
        EXPECT_EQ(full[i].picture, i);
    }
    const auto reduced = BackgroundTable(true);
    ASSERT_EQ(reduced.size(), 6u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(reduced[i].fill, fills[i]);
}

TEST(BackgroundTest, StoredIndicesOutsideTheListMeanTheDesktop) {
    EXPECT_EQ(ResolveBackgroundIndex(10, false), 0);
    EXPECT_EQ(ResolveBackgroundIndex(7, true), 0);
    EXPECT_EQ(ResolveBackgroundIndex(-1, false), 0);
    EXPECT_EQ(ResolveBackgroundIndex(8, false), 8);
    EXPECT_EQ(ResolveBackgroundIndex(6, false), 6);  // a picture in the full build ...
    EXPECT_EQ(ResolveBackgroundIndex(5, true), 5);
}

TEST(BackgroundTest, OnlyRunsThatCanShowTheDesktopNeedItsCopy) {
    struct Case {
        int back2;
        bool reduced;
        bool needed;
    };
    const Case cases[] = {
        {0, false, true},  {-3, false, true}, {10, false, true}, {9, false, true},  // 9: the random entry
        {1, false, false}, {8, false, false}, {0, true, true},   {6, true, true},   // 6: the random entry
        {7, true, true},   {5, true, false},  {-1, true, true},
    };
    for (const Case& c : cases) EXPECT_EQ(MayShowDesktop(c.back2, c.reduced), c.needed) << c.back2 << " " << c.reduced;
    // Asking draws nothing: the random background is drawn at the first frame only.
    RandomSeed(77);
    const int next = RandomNext();
    RandomSeed(77);
    MayShowDesktop(9, false);
    EXPECT_EQ(RandomNext(), next);
}

TEST(BackgroundTest, RandomEntrySeedsWithTheTimeAndDrawsOnce) {
    for (bool reduced : {false, true}) {
        const int randomEntry = reduced ? 6 : 9;  // ... and the random entry in the reduced one
        RandomSeed(12345);
        const int chosen = ResolveBackgroundIndex(randomEntry, reduced);
        const std::uint32_t now = CurrentTime();
        // Same draw from the same seed: the time within a second or two.
        bool matched = false;
        for (std::uint32_t t = now - 2; t <= now; ++t) {
            RandomSeed(t);
            matched = matched || RandomNext() % randomEntry == chosen;
        }
        EXPECT_TRUE(matched);
        EXPECT_GE(chosen, 0);
        EXPECT_LT(chosen, randomEntry);
    }
}

TEST(BackgroundTest, RandomDrawOverSeedsReachesEveryEntryTheDesktopIncluded) {
    for (bool reduced : {false, true}) {
        const int entries = reduced ? 6 : 9;
        std::set<int> seen;
        for (std::uint32_t seed = 1'790'000'000; seed < 1'790'000'200; ++seed) {
            RandomSeed(seed);
            seen.insert(RandomNext() % entries);
        }
        EXPECT_EQ(seen.size(), std::size_t(entries));
        EXPECT_TRUE(seen.count(0));
    }
}

TEST(BackgroundTest, TilingCoversTheScreenWithThePictureCutAtTheRightAndBottom) {
    // A 7 x 5 picture of distinct pixels over screens that are a multiple of
    // it, not one, smaller than it, and one row or column high.
    std::vector<std::uint32_t> pixels(7 * 5);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = std::uint32_t(0x10101 * i + 1);
    const SoftSurface picture(7, 5, pixels);
    const std::pair<int, int> screens[] = {{14, 10}, {100, 37}, {3, 2}, {1000, 1}, {1, 33}, {29, 6}};
    for (const auto& [W, H] : screens) {
        SoftSurface screen(W, H, 0xFFFFFFu);
        TileSurface(screen, picture);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                ASSERT_EQ(screen.Pixel(x, y), picture.Pixel(x % 7, y % 5)) << W << "x" << H << " at " << x << "," << y;
    }
}

}  // namespace
}  // namespace flutt
