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

}  // namespace
}  // namespace flutt
