// The built vexscan-scan against the simulated scanners: every pixel of what it writes is
// compared with the test chart the simulated scanner sees. Runs stay small (50 dpi, an area of a
// few hundred pixels) and no run waits for a lamp: the extended scanner is given as a profile
// file of the built-in one with its lamp ready at once.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "sim/model/profile.h"
#include "tests/support/temporary_directory.h"
#include "tests/tools/chart_pixels.h"
#include "tests/tools/image_files.h"
#include "tests/tools/tool_runner.h"
#include "tools/vexscan-scan/image_layout.h"

namespace vexscan::tool::test {
namespace {

namespace fs = std::filesystem;

// A scan area in chart pixels, and how the scanner was asked to see it.
struct ChartArea {
    uint32_t left = 0;
    uint32_t top = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    ChartSettings chart;
    bool mirrored = false;
};

// -l 5.08 -t 10.16 -x 20.32 -y 15.24 at 50 dpi, where a pixel is 0.508 mm.
const std::vector<std::string> kSmallArea = {"--resolution", "50", "-l",    "5.08", "-t",
                                             "10.16",        "-x", "20.32", "-y",   "15.24"};
constexpr ChartArea kSmallChartArea{10, 20, 40, 30, {}, false};

std::string readFileText(const fs::path& path) {
    const std::vector<uint8_t> bytes = readFileBytes(path.string());
    return {bytes.begin(), bytes.end()};
}

struct PngType {
    int bitDepth;
    int colorType;
};

PngType pngTypeOf(PixelLayout layout) {
    switch (layout) {
        case PixelLayout::LineArt:
            return {1, PNG_COLOR_TYPE_GRAY};
        case PixelLayout::Gray4:
            return {4, PNG_COLOR_TYPE_GRAY};
        case PixelLayout::Gray8:
            return {8, PNG_COLOR_TYPE_GRAY};
        case PixelLayout::Gray16:
            return {16, PNG_COLOR_TYPE_GRAY};
        case PixelLayout::Color8:
            return {4, PNG_COLOR_TYPE_PALETTE};
        case PixelLayout::Color256:
            return {8, PNG_COLOR_TYPE_PALETTE};
        case PixelLayout::Color12:
        case PixelLayout::Color24:
            return {8, PNG_COLOR_TYPE_RGB};
        case PixelLayout::Color48:
            return {16, PNG_COLOR_TYPE_RGB};
    }
    return {0, 0};
}

// Compares every sample; reports the count of wrong ones and the first few.
template <typename Image, typename Expected>
testing::AssertionResult everyPixelShowsTheChart(const Image& image, uint32_t channels,
                                                 const ChartArea& area, Expected expected) {
    uint64_t wrong = 0;
    std::string first;
    for (uint32_t y = 0; y < area.height; ++y) {
        for (uint32_t x = 0; x < area.width; ++x) {
            const uint32_t chartX = area.left + (area.mirrored ? area.width - 1 - x : x);
            const std::array<uint32_t, 3> want = expected(chartX, area.top + y);
            for (uint32_t c = 0; c < channels; ++c) {
                const uint32_t got = image.sample(x, y, c);
                if (got != want[c] && wrong++ < 5) {
                    first += " (" + std::to_string(x) + ", " + std::to_string(y) + ") channel " +
                             std::to_string(c) + ": " + std::to_string(got) + " instead of " +
                             std::to_string(want[c]) + ";";
                }
            }
        }
    }
    if (wrong == 0) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << wrong << " wrong samples, first:" << first;
}

testing::AssertionResult pngShowsChart(const fs::path& path, PixelLayout layout,
                                       const ChartArea& area) {
    std::string error;
    const auto image = readPng(path.string(), error);
    if (!image) {
        return testing::AssertionFailure() << error;
    }
    const PngType type = pngTypeOf(layout);
    if (image->width != area.width || image->height != area.height ||
        image->bitDepth != type.bitDepth || image->colorType != type.colorType) {
        return testing::AssertionFailure()
               << path << " is " << image->width << " x " << image->height << ", depth "
               << image->bitDepth << ", colour type " << image->colorType << "; expected "
               << area.width << " x " << area.height << ", depth " << type.bitDepth
               << ", colour type " << type.colorType;
    }
    return everyPixelShowsTheChart(*image, image->channels(), area, [&](uint32_t x, uint32_t y) {
        return expectedFileSamples(layout, x, y, area.chart);
    });
}

testing::AssertionResult pnmShowsChart(const fs::path& path, PixelLayout layout, char kind,
                                       const ChartArea& area) {
    std::string error;
    const auto image = readPnm(path.string(), error);
    if (!image) {
        return testing::AssertionFailure() << error;
    }
    if (image->kind != kind || image->width != area.width || image->height != area.height) {
        return testing::AssertionFailure()
               << path << " is P" << image->kind << " " << image->width << " x " << image->height;
    }
    return everyPixelShowsTheChart(*image, kind == '6' ? 3 : 1, area, [&](uint32_t x, uint32_t y) {
        return expectedPnmSamples(layout, x, y, area.chart);
    });
}

class ScanTool : public testing::Test {
protected:
    // A built-in profile as a profile file, with its lamp ready at once; `adjust` changes it.
    std::string profile(const std::string& name,
                        const std::function<void(sim::DeviceProfile&)>& adjust = {}) {
        auto device = sim::builtInProfile(name);
        EXPECT_TRUE(device) << name;
        if (!device) return name;
        device->warmUpPolls = 0;
        if (adjust) adjust(*device);
        const std::string file = name + "-" + std::to_string(profiles_++) + ".profile";
        directory_.writeFile(file, profileFileText(*device));
        return (directory_.path() / file).string();
    }

    ToolRun run(const std::vector<std::string>& arguments,
                const std::vector<std::string>& environment = {}) {
        return runScanTool(directory_.path(), arguments, environment);
    }

    static std::vector<std::string> with(std::vector<std::string> arguments,
                                         const std::vector<std::string>& more) {
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }

    fs::path file(const std::string& name) const { return directory_.path() / name; }

    vexscan::test::TemporaryDirectory directory_;
    int profiles_ = 0;
};

// Each mode of each family, written as PNG.
struct ModeCase {
    const char* device;  // a built-in profile
    const char* mode;
};

// Keeps the test's name readable (and the same from run to run) in the test list.
void PrintTo(const ModeCase& item, std::ostream* stream) {
    *stream << item.device << " " << item.mode;
}

class ScanToolModes : public ScanTool, public testing::WithParamInterface<ModeCase> {};

TEST_P(ScanToolModes, WritesTheChartPixelForPixel) {
    const ModeCase& item = GetParam();
    const bool extended = std::string(item.device) == "extended-b7";
    const std::string device = extended ? profile(item.device) : std::string(item.device);
    const ToolRun result =
        run(with(kSmallArea, {"--device", device, "--mode", item.mode, "-o", "scan.png"}));
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    ChartArea area = kSmallChartArea;
    // The extended scanner is asked for 12 bits a sample and sends those; the classic one sends
    // all 16 for the same request.
    area.chart.wideSampleBits = extended ? 12 : 16;
    EXPECT_TRUE(pngShowsChart(file("scan.png"), findScanMode(item.mode)->layout, area));
}

INSTANTIATE_TEST_SUITE_P(
    , ScanToolModes,
    testing::Values(ModeCase{"classic-b8", "lineart"}, ModeCase{"classic-b8", "gray4"},
                    ModeCase{"classic-b8", "gray8"}, ModeCase{"classic-b8", "gray16"},
                    ModeCase{"classic-b8", "color8"}, ModeCase{"classic-b8", "color256"},
                    ModeCase{"classic-b8", "color12"}, ModeCase{"classic-b8", "color24"},
                    ModeCase{"classic-b8", "color48"}, ModeCase{"extended-b7", "lineart"},
                    ModeCase{"extended-b7", "gray8"}, ModeCase{"extended-b7", "gray16"},
                    ModeCase{"extended-b7", "color12"}, ModeCase{"extended-b7", "color24"},
                    ModeCase{"extended-b7", "color48"}),
    [](const testing::TestParamInfo<ModeCase>& info) {
        std::string name = std::string(info.param.device) + "_" + info.param.mode;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

// Widths that end inside a byte (37 pixels: 4-bit pixels and line-art dots share the last byte
// with nothing), a threshold, a mirror, a zoom.
TEST_F(ScanTool, HonoursWidthsThresholdMirrorAndZoom) {
    struct Case {
        std::vector<std::string> arguments;
        const char* mode;
        ChartArea area;
    };
    const std::vector<std::string> oddWidth = {"--resolution", "50", "-l",     "5.08", "-t",
                                               "10.16",        "-x", "18.796", "-y",   "15.24"};
    const std::vector<Case> cases = {
        {oddWidth, "gray4", {10, 20, 37, 30, {}, false}},
        {oddWidth, "color8", {10, 20, 37, 30, {}, false}},
        {oddWidth, "lineart", {10, 20, 37, 30, {}, false}},
        {with(kSmallArea, {"--threshold", "200"}), "lineart", {10, 20, 40, 30, {200, 16}, false}},
        {with(kSmallArea, {"--mirror"}), "gray8", {10, 20, 40, 30, {}, true}},
        // At 200 % the pixels are those of 100 dpi: the area doubles in pixels.
        {with(kSmallArea, {"--zoom", "200"}), "color24", {20, 40, 80, 60, {}, false}},
    };
    for (const Case& item : cases) {
        SCOPED_TRACE(item.mode + (" " + testing::PrintToString(item.arguments)));
        const ToolRun result = run(
            with(item.arguments, {"--device", "classic-b8", "--mode", item.mode, "-o", "a.png"}));
        ASSERT_EQ(result.exitCode, 0) << result.errors;
        EXPECT_TRUE(pngShowsChart(file("a.png"), findScanMode(item.mode)->layout, item.area));
    }
}

TEST_F(ScanTool, WritesPnmOfTheNearestType) {
    struct Case {
        const char* mode;
        const char* name;
        char kind;
    };
    const Case cases[] = {{"lineart", "a.pbm", '4'},  {"gray4", "a.pgm", '5'},
                          {"gray16", "a.pgm", '5'},   {"color8", "a.ppm", '6'},
                          {"color256", "a.ppm", '6'}, {"color12", "a.ppm", '6'},
                          {"color48", "a.ppm", '6'}};
    for (const Case& item : cases) {
        SCOPED_TRACE(item.mode);
        const ToolRun result =
            run(with(kSmallArea, {"--device", "classic-b8", "--mode", item.mode, "-o", item.name}));
        ASSERT_EQ(result.exitCode, 0) << result.errors;
        EXPECT_TRUE(pnmShowsChart(file(item.name), findScanMode(item.mode)->layout, item.kind,
                                  kSmallChartArea));
    }
}

// What the README's scan command does: the whole flatbed of the default scanner at 150 dpi in
// 24-bit colour.
TEST_F(ScanTool, DefaultsScanTheWholeFlatbedInColour) {
    const ToolRun result =
        run({"--device", profile(std::string(sim::kDefaultProfileName)), "-o", "page.png"});
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    const sim::DeviceProfile device = *sim::builtInProfile(sim::kDefaultProfileName);
    const uint32_t maximum =
        device.family == sim::Family::Extended ? device.baseResolution : device.resolutions.back();
    // The scanner reports its bed in hundredths of an inch.
    const uint32_t width = device.bedWidth * 100 / maximum * 150 / 100;
    const uint32_t height = device.bedHeight * 100 / maximum * 150 / 100;
    EXPECT_TRUE(
        pngShowsChart(file("page.png"), PixelLayout::Color24, {0, 0, width, height, {}, false}));
    EXPECT_TRUE(result.errors.empty()) << result.errors;
}

TEST_F(ScanTool, ProgressBarReachesTheEnd) {
    const ToolRun result = run(with(kSmallArea, {"--device", "classic-b8", "-p", "-o", "a.png"}));
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_NE(result.errors.find("Page 1 ["), std::string::npos) << result.errors;
    EXPECT_NE(result.errors.find("] 100%\n"), std::string::npos) << result.errors;
}

// A feeder of three sheets gives three files and a clean stop, in either family: the classic
// scanner finds the feeder empty when the fourth page starts, the extended one reports paper out
// at the end of the third.
TEST_F(ScanTool, BatchScansEverySheetOfTheFeeder) {
    for (const std::string& device : {std::string("classic-b8"), profile("extended-b7")}) {
        SCOPED_TRACE(device);
        const ToolRun result = run(with(kSmallArea, {"--device", device, "--source", "feeder",
                                                     "--mode", "gray8", "--batch=page%d.png"}));
        EXPECT_EQ(result.exitCode, 0) << result.errors;
        for (const char* page : {"page1.png", "page2.png", "page3.png"}) {
            EXPECT_TRUE(pngShowsChart(file(page), PixelLayout::Gray8, kSmallChartArea)) << page;
            fs::remove(file(page));
        }
        EXPECT_FALSE(fs::exists(file("page4.png")));
        EXPECT_NE(result.errors.find("Scanned page 3 to page3.png"), std::string::npos)
            << result.errors;
    }
}

TEST_F(ScanTool, AnEmptyFeederIsAFailureWhenNoPageWasScanned) {
    const std::string empty =
        profile("classic-b8", [](sim::DeviceProfile& p) { p.feederSheets = 0; });
    for (const std::vector<std::string>& output :
         {std::vector<std::string>{"-o", "page.png"}, std::vector<std::string>{"--batch"}}) {
        const ToolRun result =
            run(with(with(kSmallArea, {"--device", empty, "--source", "feeder"}), output));
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(
            result.errors.find("no paper to scan: error 14 (the document feeder is out of paper)"),
            std::string::npos)
            << result.errors;
        EXPECT_FALSE(fs::exists(file("page.png")));
        EXPECT_FALSE(fs::exists(file("page1.png")));
    }
}

TEST_F(ScanTool, FailuresExitNonZeroWithTheReason) {
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        std::vector<std::string> environment;
        int exitCode;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"unknown mode", {"--mode", "sepia", "-o", "a.png"}, {}, 2, "unknown mode \"sepia\""},
        {"source the scanner lacks",
         {"--device", "classic-b4", "--source", "feeder", "-o", "a.png"},
         {},
         1,
         "the scanner has no document feeder; it has a film adapter (--source film)"},
        {"unwritable output",
         {"--device", "classic-b8", "-o", "no/such/folder/a.png"},
         {},
         1,
         "cannot write \"no/such/folder/a.png\": No such file or directory"},
        {"unknown device",
         {"--device", "no-such-scanner", "-o", "a.png"},
         {},
         2,
         "unknown device \"no-such-scanner\""},
        {"port refused",
         {"--device", "classic-b8", "-o", "a.png"},
         {"VEXSCAN_SIM_FAULTS=open=37"},
         1,
         "cannot open the scanner: error 37 (the communication driver refused to open the port)"},
        {"resolution too high",
         {"--device", "classic-b8", "--resolution", "2400", "-o", "a.png"},
         {},
         1,
         "the scanner scans at most 1200 dpi"},
    };
    for (const Case& item : cases) {
        SCOPED_TRACE(item.what);
        const ToolRun result = run(item.arguments, item.environment);
        EXPECT_EQ(result.exitCode, item.exitCode);
        EXPECT_NE(result.errors.find(item.message), std::string::npos) << result.errors;
        EXPECT_FALSE(fs::exists(file("a.png")));
    }
}

TEST_F(ScanTool, ATransferThatBreaksLeavesNoFile) {
    const std::vector<std::string> page = {"--device", "classic-b8", "--resolution", "50",
                                           "--mode",   "gray8",      "-o",           "a.png"};
    // A clean run's driver log shows the reads before the start command (ESC G); after it come
    // the start header, the first block, the second block's header and its data, whose read
    // then fails.
    ASSERT_EQ(run(page, {"VEXSCAN_SIM_LOG=" + file("driver.log").string()}).exitCode, 0);
    int readsBeforeStart = -1;
    int reads = 0;
    std::istringstream log(readFileText(file("driver.log")));
    for (std::string line; std::getline(log, line) && readsBeforeStart < 0;) {
        if (line.rfind("R ", 0) == 0) ++reads;
        if (line.rfind("W =0 1B 47", 0) == 0) readsBeforeStart = reads;
    }
    ASSERT_GE(readsBeforeStart, 0) << "no ESC G in the driver log";
    fs::remove(file("a.png"));

    const ToolRun result =
        run(page, {"VEXSCAN_SIM_FAULTS=fail-read=" + std::to_string(readsBeforeStart + 3)});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find("the scan failed after"), std::string::npos) << result.errors;
    EXPECT_NE(result.errors.find("error 9 (the image data transfer failed)"), std::string::npos)
        << result.errors;
    EXPECT_FALSE(fs::exists(file("a.png")));
}

TEST_F(ScanTool, ListsTheSimulatedScannersAndHelps) {
    const ToolRun list = run({"-L"});
    EXPECT_EQ(list.exitCode, 0);
    for (const std::string& name : sim::builtInProfileNames()) {
        EXPECT_NE(list.output.find(name), std::string::npos) << name;
    }
    EXPECT_NE(list.output.find(std::string(sim::kDefaultProfileName) + " "), std::string::npos);
    const ToolRun help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.output.rfind("Usage: ", 0), 0u) << help.output;
}

TEST_F(ScanTool, ImageMagickAcceptsThePng) {
    if (std::system("command -v identify >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ImageMagick's identify is not installed";
    }
    for (const char* mode : {"lineart", "color8", "color256", "color48"}) {
        const std::string name = std::string(mode) + ".png";
        ASSERT_EQ(
            run(with(kSmallArea, {"--device", "classic-b8", "--mode", mode, "-o", name})).exitCode,
            0);
        const std::string command = "identify " + file(name).string() + " >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << mode;
    }
}

}  // namespace
}  // namespace vexscan::tool::test
