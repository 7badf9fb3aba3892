#include "anim/Random.h"

#include <gtest/gtest.h>

namespace flutt {
namespace {

TEST(RandomTest, SequenceFromStateOne) {
    RandomSeed(1);
    const int expected[] = {346, 130, 10982, 1090, 11656, 7117};
    for (int value : expected) EXPECT_EQ(RandomNext(), value);
}

TEST(RandomTest, StaysInRangeAndRepeatsForASeed) {
    RandomSeed(0xDEADBEEF);
    std::vector<int> first;
    for (int i = 0; i < 1000; ++i) {
        first.push_back(RandomNext());
        EXPECT_GE(first.back(), 0);
        EXPECT_LE(first.back(), 32767);
    }
    RandomSeed(0xDEADBEEF);
    for (int value : first) EXPECT_EQ(RandomNext(), value);
}

}  // namespace
}  // namespace flutt
