#include "kiva4cpl/calibration_math.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

namespace kiva4cpl {
namespace {

TEST(PatternGreyLevels, RunFromDarkestAtGammaOneToLightestAtGammaThree) {
    EXPECT_EQ(patternGreyLevels.size(), 21u);
    EXPECT_EQ(patternGreyLevels[0], 81);
    EXPECT_EQ(patternGreyLevels[10], 166);
    EXPECT_EQ(patternGreyLevels[20], 196);
    for (std::size_t i = 1; i < patternGreyLevels.size(); ++i) {
        EXPECT_GT(patternGreyLevels[i], patternGreyLevels[i - 1]) << "position " << i;
    }
}

struct SliderCase {
    int position;
    int code;
    int thumb;
    int expected;
    bool changed;
};

void PrintTo(const SliderCase& c, std::ostream* os) {
    *os << "position " << c.position << ", code " << c.code << ", thumb " << c.thumb;
}

class SliderStepTest : public testing::TestWithParam<SliderCase> {};

TEST_P(SliderStepTest, MovesWithinZeroToTwenty) {
    const SliderCase& c = GetParam();
    const SliderStep step = sliderStep(c.position, c.code, c.thumb);
    EXPECT_EQ(step.position, c.expected);
    EXPECT_EQ(step.changed, c.changed);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, SliderStepTest,
    testing::Values(
        SliderCase{5, scrollLineLeft, 0, 4, true}, SliderCase{5, scrollPageLeft, 0, 4, true},
        SliderCase{0, scrollLineLeft, 0, 0, false}, SliderCase{0, scrollPageLeft, 0, 0, false},
        SliderCase{5, scrollLineRight, 0, 6, true}, SliderCase{5, scrollPageRight, 0, 6, true},
        SliderCase{20, scrollLineRight, 0, 20, false},
        SliderCase{20, scrollPageRight, 0, 20, false},
        SliderCase{5, scrollThumbTrack, 17, 17, true},
        SliderCase{5, scrollThumbPosition, 0, 0, true},
        SliderCase{5, scrollThumbTrack, 5, 5, false},
        // A thumb position outside the range would index past the grey levels.
        SliderCase{5, scrollThumbTrack, 21, 20, true}, SliderCase{5, scrollThumbTrack, -1, 0, true},
        // SB_TOP, SB_BOTTOM and SB_ENDSCROLL move nothing.
        SliderCase{5, 6, 0, 5, false}, SliderCase{5, 7, 0, 5, false},
        SliderCase{5, 8, 20, 5, false}));

TEST(GammaIndexFromStored, KeepsZeroToTwentyAndTreatsAnythingElseAsZero) {
    EXPECT_EQ(gammaIndexFromStored(0), 0);
    EXPECT_EQ(gammaIndexFromStored(13), 13);
    EXPECT_EQ(gammaIndexFromStored(20), 20);
    EXPECT_EQ(gammaIndexFromStored(21), 0);
    EXPECT_EQ(gammaIndexFromStored(0xFFFFFFFFu), 0);
}

TEST(GammaLabel, ReadsOnePointZeroToThreePointZero) {
    EXPECT_EQ(gammaLabel(0), "1.0");
    EXPECT_EQ(gammaLabel(1), "1.1");
    EXPECT_EQ(gammaLabel(9), "1.9");
    EXPECT_EQ(gammaLabel(10), "2.0");
    EXPECT_EQ(gammaLabel(15), "2.5");
    EXPECT_EQ(gammaLabel(20), "3.0");
}

TEST(ToneTable, IsTheIdentityAtGammaOne) {
    const ToneTable table = buildToneTable(gammaForPosition(0));
    for (int i = 0; i < 256; ++i) EXPECT_EQ(table[i], i) << "entry " << i;
}

TEST(ToneTable, MatchesKnownEntriesAtGammaTwoAndThree) {
    const ToneTable two = buildToneTable(gammaForPosition(10));
    EXPECT_EQ(two[64], 128);
    EXPECT_EQ(two[1], 16);  // 255 * sqrt(1 / 255) = 15.97
    const ToneTable three = buildToneTable(gammaForPosition(20));
    EXPECT_EQ(three[1], 40);
    EXPECT_EQ(three[128], 203);
}

TEST(ToneTable, KeepsBlackAndWhiteAndRisesForEveryPosition) {
    for (int position = 0; position <= maxSliderPosition; ++position) {
        const ToneTable table = buildToneTable(gammaForPosition(position));
        EXPECT_EQ(table[0], 0) << "position " << position;
        EXPECT_EQ(table[255], 255) << "position " << position;
        for (int i = 1; i < 256; ++i) {
            ASSERT_GE(table[i], table[i - 1]) << "position " << position << " entry " << i;
            ASSERT_GE(table[i], i) << "a gamma above 1 lifts every entry";
        }
    }
}

}  // namespace
}  // namespace kiva4cpl
