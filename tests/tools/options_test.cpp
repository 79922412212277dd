// The command line: what each accepted form sets, and the message for each refused one.
#include "tools/vexscan-scan/options.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "sim/model/profile.h"

namespace vexscan::tool {
namespace {

struct Accepted {
    std::vector<std::string> arguments;
    std::function<void(const Options&)> check;
};

TEST(ScanToolOptions, AcceptedCommandLinesSetTheirOptions) {
    const std::vector<Accepted> cases = {
        {{"-o", "page.png"},
         [](const Options& o) {
             EXPECT_EQ(o.outputFile, "page.png");
             EXPECT_EQ(o.format, OutputFormat::Png);
             EXPECT_EQ(o.mode.imageType, 5);  // 24-bit colour
             EXPECT_EQ(o.resolution, 150);
             EXPECT_EQ(o.zoom, 100);
             EXPECT_EQ(o.device, sim::kDefaultProfileName);
             EXPECT_EQ(o.source, ScanSource::Flatbed);
             EXPECT_FALSE(o.threshold || o.mirror || o.progress || o.batch);
             EXPECT_FALSE(o.left || o.top || o.width || o.height);
         }},
        {{"--mode", "gray8", "--output-file", "a.pgm"},
         [](const Options& o) {
             EXPECT_EQ(o.mode.imageType, 2);
             EXPECT_EQ(o.format, OutputFormat::Pnm);
         }},
        {{"--mode=GRAY16", "-oout.PNG", "--resolution=300"},
         [](const Options& o) {
             EXPECT_EQ(o.mode.imageType, 8);
             EXPECT_EQ(o.outputFile, "out.PNG");
             EXPECT_EQ(o.format, OutputFormat::Png);
             EXPECT_EQ(o.resolution, 300);
         }},
        {{"-l", "10", "-t5.5", "-x", "100", "-y", "50.8", "-o", "a.ppm"},
         [](const Options& o) {
             EXPECT_DOUBLE_EQ(o.left.value_or(-1), 10.0);
             EXPECT_DOUBLE_EQ(o.top.value_or(-1), 5.5);
             EXPECT_DOUBLE_EQ(o.width.value_or(-1), 100.0);
             EXPECT_DOUBLE_EQ(o.height.value_or(-1), 50.8);
         }},
        {{"--source", "feeder", "--batch=scan%03d.pnm"},
         [](const Options& o) {
             EXPECT_EQ(o.source, ScanSource::Feeder);
             ASSERT_TRUE(o.batch);
             EXPECT_EQ(pageFileName(*o.batch, 2), "scan002.pnm");
             EXPECT_EQ(o.format, OutputFormat::Pnm);
         }},
        {{"--batch", "--source=film"},
         [](const Options& o) {
             ASSERT_TRUE(o.batch);
             EXPECT_EQ(pageFileName(*o.batch, 1), "page1.png");
             EXPECT_EQ(o.source, ScanSource::Film);
         }},
        {{"--format", "pnm", "-o", "-"},
         [](const Options& o) {
             EXPECT_EQ(o.outputFile, "-");
             EXPECT_EQ(o.format, OutputFormat::Pnm);
         }},
        {{"--format=png", "-o", "scan.data"},
         [](const Options& o) { EXPECT_EQ(o.format, OutputFormat::Png); }},
        {{"--threshold", "200", "--mirror", "--zoom", "150", "-p", "-o", "a.png"},
         [](const Options& o) {
             EXPECT_EQ(o.threshold.value_or(-1), 200);
             EXPECT_TRUE(o.mirror);
             EXPECT_EQ(o.zoom, 150);
             EXPECT_TRUE(o.progress);
         }},
        {{"--device", "classic-b8", "-d", "sim/profiles/classic-b5-film.profile", "-o", "a.png"},
         [](const Options& o) { EXPECT_EQ(o.device, "sim/profiles/classic-b5-film.profile"); }},
        // Listing and help need no output file.
        {{"-L"}, [](const Options& o) { EXPECT_TRUE(o.listDevices); }},
        {{"--help"}, [](const Options& o) { EXPECT_TRUE(o.help); }},
    };
    for (const Accepted& item : cases) {
        std::string error;
        const auto options = parseOptions(item.arguments, error);
        SCOPED_TRACE(testing::PrintToString(item.arguments));
        ASSERT_TRUE(options) << error;
        item.check(*options);
    }
}

TEST(ScanToolOptions, EveryModeNameGivesItsImageType) {
    const std::vector<std::pair<std::string, int32_t>> modes = {
        {"lineart", 0},  {"gray4", 1},   {"gray8", 2},   {"gray16", 8},  {"color8", 3},
        {"color256", 4}, {"color12", 6}, {"color24", 5}, {"color48", 7},
    };
    for (const auto& [name, imageType] : modes) {
        std::string error;
        const auto options = parseOptions({"--mode", name, "-o", "a.png"}, error);
        ASSERT_TRUE(options) << name << ": " << error;
        EXPECT_EQ(options->mode.imageType, imageType) << name;
    }
}

struct Refused {
    std::vector<std::string> arguments;
    std::string message;  // part of the error
};

TEST(ScanToolOptions, RefusedCommandLinesSayWhy) {
    const std::vector<Refused> cases = {
        {{"--mode", "sepia", "-o", "a.png"},
         "unknown mode \"sepia\"; the modes are lineart, gray4"},
        {{"--resolution", "0", "-o", "a.png"}, "--resolution takes dots per inch"},
        {{"--resolution=150dpi", "-o", "a.png"}, "not \"150dpi\""},
        {{"-x", "-5", "-o", "a.png"}, "-x takes millimetres"},
        {{"-y", "0", "-o", "a.png"}, "-y must be more than 0 mm"},
        {{"-l", "nan", "-o", "a.png"}, "-l takes millimetres"},
        {{"--threshold", "256", "-o", "a.png"}, "--threshold takes a level from 0 to 255"},
        {{"--zoom", "0", "-o", "a.png"}, "--zoom takes a percentage"},
        {{"--source", "tray", "-o", "a.png"}, "unknown source \"tray\""},
        {{"--format", "tiff", "-o", "a.png"}, "unknown format \"tiff\""},
        {{"-o", "a.jpg"}, "cannot tell the format from \"a.jpg\""},
        {{"-o", "dir.png/scan"}, "cannot tell the format"},
        {{"-o", "-"}, "standard output needs --format"},
        {{}, "no output file"},
        {{"-o", "a.png", "--batch"}, "not both"},
        {{"--batch=page.png"}, "needs a %d"},
        {{"--bogus"}, "unknown option --bogus"},
        {{"-q"}, "unknown option -q"},
        {{"page.png"}, "unexpected argument \"page.png\""},
        {{"--batch", "page%d.png"}, "unexpected argument \"page%d.png\""},
        {{"-o"}, "-o needs a value"},
        {{"--mode"}, "--mode needs a value"},
        {{"--mirror=yes", "-o", "a.png"}, "--mirror takes no value"},
        {{"-pv", "-o", "a.png"}, "-p takes no value"},
        {{"--device=", "-o", "a.png"}, "--device needs a profile name"},
    };
    for (const Refused& item : cases) {
        std::string error;
        const auto options = parseOptions(item.arguments, error);
        SCOPED_TRACE(testing::PrintToString(item.arguments));
        EXPECT_FALSE(options);
        EXPECT_NE(error.find(item.message), std::string::npos) << "error: " << error;
    }
}

TEST(ScanToolOptions, HelpNamesEveryOptionAndMode) {
    const std::string text = usage("vexscan-scan");
    for (const char* option : {"--output-file", "--format", "--batch", "--mode", "--resolution",
                               "-l MM", "-x MM", "--source", "--threshold", "--mirror", "--zoom",
                               "--progress", "--list-devices", "--device", "--help"}) {
        EXPECT_NE(text.find(option), std::string::npos) << option;
    }
    for (const ScanMode& mode : scanModes()) {
        EXPECT_NE(text.find(std::string(mode.name)), std::string::npos) << mode.name;
    }
}

}  // namespace
}  // namespace vexscan::tool
