// Both maps against their rules, recomputed here another way, and the named checkpoints.
#include "vexscan/convert/reduction_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace vexscan {
namespace {

// The maps are usable where only constants are.
static_assert(grayReductionMap[255] == 234);
static_assert(colorReductionMap[511] == 215);

TEST(GrayReductionMap, EveryEntryFollowsTheRunsAndTheTopBreak) {
    // Walking up the inputs, the output steps by one except where a new run of 11 begins.
    int expected = 0;
    for (int v = 0; v <= 252; ++v) {
        if (v > 0 && v % 11 != 0) {
            ++expected;
        }
        EXPECT_EQ(grayReductionMap[static_cast<std::size_t>(v)], expected) << "v = " << v;
    }
    EXPECT_EQ(grayReductionMap[253], 231);
    EXPECT_EQ(grayReductionMap[254], 232);
    EXPECT_EQ(grayReductionMap[255], 234);
}

TEST(GrayReductionMap, ProducesEveryValueUpTo234But233) {
    const std::set<int> values(grayReductionMap.begin(), grayReductionMap.end());
    EXPECT_EQ(values.size(), 234u);
    EXPECT_EQ(values.count(233), 0u);
    EXPECT_EQ(*values.rbegin(), 234);
    EXPECT_TRUE(std::is_sorted(grayReductionMap.begin(), grayReductionMap.end()));
}

TEST(GrayReductionMap, Checkpoints) {
    const std::pair<int, int> checkpoints[] = {{0, 0},     {9, 9},     {10, 10},   {11, 10},
                                               {12, 11},   {22, 20},   {242, 220}, {243, 221},
                                               {252, 230}, {253, 231}, {254, 232}, {255, 234}};
    for (const auto& [input, output] : checkpoints) {
        EXPECT_EQ(grayReductionMap[static_cast<std::size_t>(input)], output) << "v = " << input;
    }
}

// Level map of the colour cube: levels 0..7 spread evenly over steps 0..5, rounded to nearest.
int cubeStep(int level) { return (5 * level + 3) / 7; }

TEST(ColorReductionMap, EveryEntryIsTheCubeIndexOfItsLevels) {
    for (int i = 0; i < 512; ++i) {
        const int a = (i >> 6) & 7;
        const int b = (i >> 3) & 7;
        const int c = i & 7;
        const int expected = (cubeStep(a) * 6 + cubeStep(b)) * 6 + cubeStep(c);
        EXPECT_EQ(colorReductionMap[static_cast<std::size_t>(i)], expected) << "i = " << i;
    }
}

TEST(ColorReductionMap, ProducesEveryCubeIndex) {
    const std::set<int> values(colorReductionMap.begin(), colorReductionMap.end());
    EXPECT_EQ(values.size(), 216u);
    EXPECT_EQ(*values.rbegin(), 215);
}

TEST(ColorReductionMap, Checkpoints) {
    const std::pair<int, int> checkpoints[] = {{0, 0},     {7, 5},   {56, 30},  {448, 180},
                                               {511, 215}, {73, 43}, {146, 43}, {256, 108}};
    for (const auto& [input, output] : checkpoints) {
        EXPECT_EQ(colorReductionMap[static_cast<std::size_t>(input)], output) << "i = " << input;
    }
}

}  // namespace
}  // namespace vexscan
