#include "host/MonitorLayout.h"

#include <gtest/gtest.h>

namespace flutt {
namespace {

using Rects = std::vector<ScreenRect>;

TEST(MonitorLayoutTest, EveryMonitorButThePrimaryGetsACover) {
    const ScreenRect primary{0, 0, 1920, 1080};
    struct Case {
        const char* layout;
        Rects monitors;
        Rects covers;
    };
    const Case cases[] = {
        {"one monitor", {primary}, {}},
        {"a smaller one to the right", {primary, {1920, 0, 3200, 1024}}, {{1920, 0, 3200, 1024}}},
        {"one to the left", {{-1280, 0, 0, 1024}, primary}, {{-1280, 0, 0, 1024}}},
        {"one above, shifted", {primary, {-200, -1200, 1400, 0}}, {{-200, -1200, 1400, 0}}},
        {"three in a row",
         {{-2560, -360, 0, 1080}, primary, {1920, 120, 3000, 2040}},
         {{-2560, -360, 0, 1080}, {1920, 120, 3000, 2040}}},
        {"a mirror of the primary", {primary, primary}, {}},
        {"a smaller mirror inside the primary", {primary, {0, 0, 1280, 1024}}, {}},
        {"two mirrors of one side monitor", {primary, {1920, 0, 3200, 1024}, {1920, 0, 3200, 1024}},
         {{1920, 0, 3200, 1024}}},
        {"one overlapping the primary", {primary, {1600, 0, 2880, 1024}}, {{1600, 0, 2880, 1024}}},
        {"an empty one", {primary, {1920, 0, 1920, 1024}}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(CoverRects(c.monitors, primary), c.covers) << c.layout;
}

Monitor At(int left, int top, int right, int bottom, int dpi = 96, bool primary = false) {
    return {{left, top, right, bottom}, dpi, primary};
}

TEST(MonitorLayoutTest, ThePrimaryIsAnimatedFirstAndEveryOtherMonitorOnce) {
    const Monitor primary = At(0, 0, 1920, 1080, 96, true);
    struct Case {
        const char* layout;
        std::vector<Monitor> monitors;
        std::vector<Monitor> animated;
    };
    const Case cases[] = {
        {"the primary listed second, one to its left",
         {At(-1280, -200, 0, 824, 192), primary},
         {primary, At(-1280, -200, 0, 824, 192)}},
        {"a mirror of the primary, a smaller one inside it", {primary, At(0, 0, 1920, 1080), At(0, 0, 1280, 1024)},
         {primary}},
        {"two mirrors of one side monitor", {primary, At(1920, 0, 3200, 1024), At(1920, 0, 3200, 1024)},
         {primary, At(1920, 0, 3200, 1024)}},
        {"an empty one", {primary, At(1920, 0, 1920, 1024)}, {primary}},
        {"none marked primary", {At(1920, 0, 3200, 1024), At(0, 0, 1920, 1080)},
         {At(1920, 0, 3200, 1024), At(0, 0, 1920, 1080)}},
    };
    for (const Case& c : cases) EXPECT_EQ(AnimatedMonitors(c.monitors), c.animated) << c.layout;
}

TEST(MonitorLayoutTest, AnAnimationGoesOnWithItsMonitor) {
    const Monitor primary = At(0, 0, 1920, 1080, 96, true), right = At(1920, 0, 3200, 1024);
    struct Case {
        const char* change;
        std::vector<Monitor> after;
        std::vector<int> kept;
    };
    const Case cases[] = {
        {"nothing", {primary, right}, {0, 1}},
        {"one added to the left", {primary, right, At(-1280, 0, 0, 1024)}, {0, 1, -1}},
        {"one moved below", {primary, At(0, 1080, 1280, 2104)}, {0, 1}},
        {"the primary resized", {At(0, 0, 2560, 1440, 96, true), At(2560, 0, 3840, 1024)}, {0, 1}},
        {"the other's scale changed", {primary, At(1920, 0, 3200, 1024, 144)}, {0, 1}},
        {"the other replaced", {primary, At(1920, 200, 3200, 1224, 144)}, {0, -1}},
        {"the other made primary", {At(0, 0, 1280, 1024, 96, true), At(-1920, 0, 0, 1080)}, {1, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(KeptAnimations({primary, right}, c.after), c.kept) << c.change;
    // Two monitors of one size: each goes on where its rectangle stayed.
    const std::vector<Monitor> twins = {primary, At(1920, 0, 3840, 1080), At(3840, 0, 5760, 1080)};
    EXPECT_EQ(KeptAnimations(twins, {primary, At(3840, 0, 5760, 1080), At(-1920, 0, 0, 1080)}),
              (std::vector<int>{0, 2, 1}));
}

}  // namespace
}  // namespace flutt
