// The scale of a high-DPI display and the logical screen the animation runs on.
#include "anim/DisplayScale.h"

#include <gtest/gtest.h>

namespace flutt {
namespace {

TEST(DisplayScaleTest, ScaleIsTheDpiRatioRoundedWithHalvesDown) {
    const struct {
        int dpi, k;
    } cases[] = {
        {0, 1},   {72, 1},  {96, 1},  {120, 1}, {144, 1},  // up to 150 %
        {145, 2}, {168, 2}, {192, 2}, {240, 2},            // 175 % up to 250 %
        {241, 3}, {264, 3}, {288, 3}, {336, 3},            // 275 % up to 350 %
        {337, 4}, {384, 4}, {480, 5},
    };
    for (const auto& c : cases) EXPECT_EQ(ScaleForDpi(c.dpi), c.k) << c.dpi << " DPI";
}

TEST(DisplayScaleTest, LogicalScreenIsThePhysicalOneDividedLeavingTheRemainder) {
    const struct {
        ScreenSize physical;
        int k;
        ScreenSize logical;
    } cases[] = {
        {{1920, 1080}, 1, {1920, 1080}},
        {{1920, 1080}, 2, {960, 540}},
        {{3840, 2160}, 2, {1920, 1080}},
        {{1366, 769}, 2, {683, 384}},
        {{2561, 1442}, 3, {853, 480}},
    };
    for (const auto& c : cases) {
        const ScreenSize logical = LogicalScreen(c.physical, c.k);
        EXPECT_EQ(logical.W, c.logical.W) << c.physical.W << " at " << c.k;
        EXPECT_EQ(logical.H, c.logical.H) << c.physical.H << " at " << c.k;
    }
}

}  // namespace
}  // namespace flutt
