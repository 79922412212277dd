// From the command line to the ScanParamBlock, against the capabilities an open wrote into it:
// sources, resolution and zoom limits, and the scan area in pixels.
#include "tools/vexscan-scan/scan_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexscan::tool {
namespace {

// A block as an open leaves it for a letter-size flatbed with a document feeder.
class ScanSettings : public testing::Test {
protected:
    ScanSettings() {
        block_.optionKind = 0;
        block_.bedWidth = 850;
        block_.bedHeight = 1170;
        block_.optionWidth = 850;
        block_.optionHeight = 1400;
        block_.resolutionList[0] = 300;
        block_.resolutionList[1] = 1200;
        block_.resolutionList[2] = 1200;
        block_.resolutionCount = 3;
        block_.zoomSupported = 1;
        block_.zoomMin = 50;
        block_.zoomMax = 200;
    }

    std::optional<ScanGeometry> apply(const std::vector<std::string>& arguments) {
        std::vector<std::string> all = arguments;
        all.insert(all.end(), {"-o", "page.png"});
        std::string parseError;
        const auto options = parseOptions(all, parseError);
        EXPECT_TRUE(options) << parseError;
        if (!options) return std::nullopt;
        error_.clear();
        note_.clear();
        return applyScanSettings(*options, block_, error_, note_);
    }

    void expectArea(int32_t left, int32_t top, int32_t width, int32_t height) {
        EXPECT_EQ(static_cast<int32_t>(block_.areaLeft), left);
        EXPECT_EQ(static_cast<int32_t>(block_.areaTop), top);
        EXPECT_EQ(static_cast<int32_t>(block_.areaWidth), width);
        EXPECT_EQ(static_cast<int32_t>(block_.areaHeight), height);
    }

    ScanParamBlock block_{};
    std::string error_;
    std::string note_;
};

TEST_F(ScanSettings, DefaultsScanTheWholeFlatbedInColourAt150Dpi) {
    const auto geometry = apply({});
    ASSERT_TRUE(geometry) << error_;
    EXPECT_EQ(geometry->dotsPerInch, 150);
    expectArea(0, 0, 1275, 1755);  // 8.5 x 11.7 inches
    EXPECT_EQ(block_.useOption, 0);
    EXPECT_EQ(static_cast<int32_t>(block_.imageType), 5);
    EXPECT_EQ(static_cast<int32_t>(block_.resolutionX), 150);
    EXPECT_EQ(static_cast<int32_t>(block_.resolutionY), 150);
    EXPECT_EQ(static_cast<int32_t>(block_.zoomX), 100);
    EXPECT_EQ(static_cast<int32_t>(block_.zoomY), 100);
    EXPECT_EQ(static_cast<int16_t>(block_.threshold), -1);
    EXPECT_EQ(static_cast<int32_t>(block_.mirror), 0);
    EXPECT_EQ(block_.invertLineArt, 0);
    EXPECT_TRUE(note_.empty());
}

TEST_F(ScanSettings, FeederScansTheFeedersArea) {
    block_.useOption = 0;
    const auto geometry = apply({"--source", "feeder", "--resolution", "100"});
    ASSERT_TRUE(geometry) << error_;
    EXPECT_EQ(block_.useOption, 1);
    expectArea(0, 0, 850, 1400);
}

TEST_F(ScanSettings, RefusesASourceTheScannerLacks) {
    EXPECT_FALSE(apply({"--source", "film"}));
    EXPECT_EQ(error_,
              "the scanner has no film adapter; it has a document feeder (--source feeder)");

    block_.optionKind = 1;
    EXPECT_FALSE(apply({"--source", "feeder"}));
    EXPECT_EQ(error_, "the scanner has no document feeder; it has a film adapter (--source film)");

    block_.optionKind = 2;
    EXPECT_FALSE(apply({"--source", "feeder"}));
    EXPECT_NE(error_.find("it scans from the flatbed only"), std::string::npos) << error_;
}

TEST_F(ScanSettings, RefusesResolutionAndZoomBeyondTheScanners) {
    EXPECT_FALSE(apply({"--resolution", "2400"}));
    EXPECT_EQ(error_, "the scanner scans at most 1200 dpi (it offers 300, 1200), not 2400");
    EXPECT_TRUE(apply({"--resolution", "1200", "-x", "10", "-y", "10"})) << error_;

    EXPECT_FALSE(apply({"--zoom", "201"}));
    EXPECT_EQ(error_, "the scanner zooms from 50 to 200 percent, not 201");
    EXPECT_FALSE(apply({"--zoom", "49"}));

    block_.zoomSupported = 0;
    EXPECT_FALSE(apply({"--zoom", "150"}));
    EXPECT_EQ(error_, "the scanner does not zoom");
}

TEST_F(ScanSettings, ZoomCountsTheAreaAtTheZoomedResolution) {
    const auto geometry = apply({"--zoom", "200", "-l", "25.4", "-x", "25.4", "-y", "12.7"});
    ASSERT_TRUE(geometry) << error_;
    EXPECT_EQ(geometry->dotsPerInch, 300);
    EXPECT_EQ(static_cast<int32_t>(block_.resolutionX), 150);
    EXPECT_EQ(static_cast<int32_t>(block_.zoomX), 200);
    EXPECT_EQ(static_cast<int32_t>(block_.zoomY), 200);
    expectArea(300, 0, 300, 150);
}

TEST_F(ScanSettings, AreaInMillimetresBecomesPixels) {
    struct Case {
        std::vector<std::string> arguments;
        int32_t left, top, width, height;
    };
    const Case cases[] = {
        {{"--resolution", "100", "-l", "25.4", "-t", "50.8", "-x", "101.6", "-y", "25.4"},
         100,
         200,
         400,
         100},
        // Only the left edge given: the width runs to the right edge.
        {{"--resolution", "100", "-l", "25.4"}, 100, 0, 750, 1170},
        // Rounded to the nearest pixel: 1 mm at 300 dpi is 11.8 pixels.
        {{"--resolution", "300", "-l", "1", "-t", "1", "-x", "1", "-y", "1"}, 12, 12, 12, 12},
    };
    for (const Case& item : cases) {
        SCOPED_TRACE(testing::PrintToString(item.arguments));
        ASSERT_TRUE(apply(item.arguments)) << error_;
        expectArea(item.left, item.top, item.width, item.height);
    }
}

TEST_F(ScanSettings, AreaReachingPastTheScannersIsClippedWithANote) {
    ASSERT_TRUE(apply({"--resolution", "100", "-l", "200", "-x", "50", "-y", "500"})) << error_;
    expectArea(787, 0, 63, 1170);
    EXPECT_EQ(note_, "the scan area was clipped to the scanner's 215.9 x 297.2 mm");
}

TEST_F(ScanSettings, RefusesAnAreaOutsideTheScannersOrSmallerThanAPixel) {
    EXPECT_FALSE(apply({"-l", "216"}));
    EXPECT_EQ(error_,
              "the scan area's left edge (216.0 mm) lies outside the scanner's area, "
              "which is 215.9 mm wide");
    EXPECT_FALSE(apply({"-t", "300"}));
    EXPECT_NE(error_.find("top edge (300.0 mm)"), std::string::npos) << error_;
    EXPECT_FALSE(apply({"--resolution", "50", "-x", "0.2"}));
    EXPECT_EQ(error_, "the scan area's width of 0.2 mm is less than one pixel at 50 dpi");

    block_.bedWidth = 0;
    EXPECT_FALSE(apply({}));
    EXPECT_EQ(error_, "the scanner reports no scan area for this source");
}

TEST_F(ScanSettings, LineArtThresholdAndMirrorReachTheBlock) {
    ASSERT_TRUE(apply({"--mode", "lineart", "--threshold", "90", "--mirror"})) << error_;
    EXPECT_EQ(static_cast<int32_t>(block_.imageType), 0);
    EXPECT_EQ(static_cast<int16_t>(block_.threshold), 90);
    EXPECT_EQ(static_cast<int32_t>(block_.mirror), 1);
}

}  // namespace
}  // namespace vexscan::tool
