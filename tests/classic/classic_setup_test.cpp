// Programming a classic device for a scan: the exact command run per level and setting, and the
// arithmetic of resolution, maximum width, area alignment and limits.
#include "vexscan/classic/classic_setup.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "tests/classic/classic_scanner_fixture.h"

namespace vexscan::test {
namespace {

// Settings every case starts from: 300 dpi at 100 %, gamma 1.0, no extras.
void baseSettings(ScanParamBlock& b) {
    b.resolutionX = 300;
    b.resolutionY = 300;
    b.zoomX = 100;
    b.zoomY = 100;
    b.gammaValue = 100;   // code 0x01
    b.halftoneIndex = 0;  // code 0x01
    b.threshold = -1;
    b.brightness = 0;
    b.sharpness = 0;
    b.scanSpeed = 0;
    for (int i = 0; i < 256; ++i) {
        b.gammaTableR[i] = static_cast<uint8_t>(i);
        b.gammaTableG[i] = static_cast<uint8_t>(255 - i);
        b.gammaTableB[i] = static_cast<uint8_t>(i * 3);
    }
    std::iota(std::begin(b.colorMatrix), std::end(b.colorMatrix), uint8_t{0x11});
}

struct SequenceCase {
    const char* name;
    const char* profile;
    std::function<void(ScanParamBlock&, sim::DeviceModel&)> adjust;
    ClassicScanner::ScanGeometry geometry;
    std::function<Bytes(const ScanParamBlock&)> expected;
    int32_t errorCode;
};

class ClassicSetupTest : public ClassicScannerTest {};

TEST_F(ClassicSetupTest, CommandRunPerDeviceAndSetting) {
    const ClassicScanner::ScanGeometry plain{};  // 0, 0, 200 x 300, line art
    const SequenceCase cases[] = {
        // Level 1: the shortest run; user gamma, colour matrix and mirror change nothing.
        {"B3 plain", "classic-b3",
         [](ScanParamBlock& b, sim::DeviceModel&) {
             b.userGammaEnabled = 1;
             b.colorMatrixEnabled = 1;
             b.mirror = 1;
             b.brightness = -700;
         },
         plain,
         [](const ScanParamBlock&) {
             return join({esc('F'), escByte('C', 0), escByte('D', 1), escByte('B', 0x01),
                          escByte('Z', 0x01), escByte('L', 0xFE), escByte('M', 0),
                          escWords('R', {300, 300}), escTwo('H', 100, 100),
                          escWords('A', {0, 0, 200, 300})});
         },
         0},
        // Level 4 with user gamma: one red table under 'm', its code, no brightness, no matrix.
        {"A5 user gamma",
         "classic-a5",
         [](ScanParamBlock& b, sim::DeviceModel&) {
             b.userGammaEnabled = 1;
             b.userGammaCode = 0x21;
             b.colorMatrixEnabled = 1;
             b.sharpness = 1499;
             b.scanSpeed = 2;
         },
         {0, 0, 200, 300, 2, 8, 0},
         [](const ScanParamBlock& b) {
             return join(
                 {esc('F'), escByte('e', 0), escByte('C', 0), escByte('D', 8), escByte('B', 0x01),
                  escByte('s', 0), escTable('z', 'm', b.gammaTableR, 256), escByte('Z', 0x21),
                  escByte('K', 0), escByte('Q', 2), escByte('g', 2), escWords('R', {300, 300}),
                  escTwo('H', 100, 100), escWords('A', {0, 0, 200, 300})});
         },
         0},
        // Level 8 with every step: option, film type, channel drop-out, deep image, text
        // enhancement, threshold, three gamma tables, colour matrix, device mirroring and a
        // resolution above 4800 dpi.
        {"B8 everything",
         "classic-b8",
         [](ScanParamBlock& b, sim::DeviceModel&) {
             b.useOption = 1;
             b.filmType = 3;
             b.monoChannelSelect = 1;
             b.dropoutChannel = 2;
             b.textEnhance = 1;
             b.textEnhanceOption = 1;
             b.threshold = 0x180;
             b.userGammaEnabled = 1;
             b.userGammaCode = 0x10;
             b.colorMatrixEnabled = 1;
             b.mirror = 1;
             b.sharpness = -1000;
             b.scanSpeed = 0x102;
             b.resolutionX = 9600;
             b.resolutionY = 9600;
         },
         {8, 16, 1001, 500, 7, 16, 0x13},
         [](const ScanParamBlock& b) {
             return join({esc('F'), escByte('e', 1), escByte('N', 3), escByte('C', 0x20),
                          escByte('D', 12), escByte('B', 3), escByte('s', 2), escByte('t', 0x80),
                          escTable('z', 'R', b.gammaTableR, 256),
                          escTable('z', 'G', b.gammaTableG, 256),
                          escTable('z', 'B', b.gammaTableB, 256), escByte('Z', 0x10),
                          escTable('m', -1, b.colorMatrix, 9), escByte('M', 1), escByte('K', 1),
                          escByte('Q', 0xFE), escByte('g', 0x02), escWords('R', {4800, 4800}),
                          escTwo('H', 200, 200),
                          // The right edge 1009 stays; the width grows to 1008.
                          escWords('A', {1, 16, 1008, 500})});
         },
         0},
        // Level 8 without extras: table gamma code, brightness, ESC M 0, no ESC t.
        {"B8 plain",
         "classic-b8",
         [](ScanParamBlock& b, sim::DeviceModel&) {
             b.gammaValue = 250;
             b.brightness = 999;
             b.halftoneIndex = 4;
             b.colorModeVariant = 1;
         },
         {0, 0, 200, 300, 5, 8, 2},
         [](const ScanParamBlock&) {
             return join({esc('F'), escByte('e', 0), escByte('N', 0), escByte('C', 1),
                          escByte('D', 8), escByte('B', 0x80), escByte('s', 0), escByte('Z', 0x20),
                          escByte('L', 3), escByte('M', 0), escByte('K', 0), escByte('Q', 0),
                          escByte('g', 0), escWords('R', {300, 300}), escTwo('H', 100, 100),
                          escWords('A', {0, 0, 200, 300})});
         },
         0},
        // A refused command does not stop the run: its parameters are never sent.
        {"B3 refused colour", "classic-b3",
         [](ScanParamBlock&, sim::DeviceModel& d) {
             d.faults().refusedCommands.insert(sim::commandKey(0x1B, 'C'));
         },
         plain,
         [](const ScanParamBlock&) {
             return join({esc('F'), esc('C'), escByte('D', 1), escByte('B', 0x01),
                          escByte('Z', 0x01), escByte('L', 0), escByte('M', 0),
                          escWords('R', {300, 300}), escTwo('H', 100, 100),
                          escWords('A', {0, 0, 200, 300})});
         },
         0},
        // ESC F that cannot be sent ends the run at once, without an error code.
        {"write fails", "classic-b3",
         [](ScanParamBlock&, sim::DeviceModel& d) { d.close(0); },  // every write fails
         plain, [](const ScanParamBlock&) { return esc('F'); }, 0},
        // Values that would index outside the source or halftone tables: refused, nothing sent.
        {"useOption 2", "classic-b8", [](ScanParamBlock& b, sim::DeviceModel&) { b.useOption = 2; },
         plain, [](const ScanParamBlock&) { return Bytes{}; }, 16},
        {"halftone 10", "classic-b8",
         [](ScanParamBlock& b, sim::DeviceModel&) { b.halftoneIndex = 10; }, plain,
         [](const ScanParamBlock&) { return Bytes{}; }, 16},
        {"halftone -1", "classic-b3",
         [](ScanParamBlock& b, sim::DeviceModel&) { b.halftoneIndex = -1; }, plain,
         [](const ScanParamBlock&) { return Bytes{}; }, 16},
        // Level 8 area beyond 16 bits: error 34 and no ESC A.
        {"B8 area too low",
         "classic-b8",
         nullptr,
         {0, 60000, 200, 8000, 0, 1, 0},
         [](const ScanParamBlock&) {
             return join({esc('F'), escByte('e', 0), escByte('N', 0), escByte('C', 0),
                          escByte('D', 1), escByte('B', 0x01), escByte('s', 0), escByte('Z', 0x01),
                          escByte('L', 0), escByte('M', 0), escByte('K', 0), escByte('Q', 0),
                          escByte('g', 0), escWords('R', {300, 300}), escTwo('H', 100, 100)});
         },
         34},
        // Level 1 wider than 4096: clamped, ESC A sent, then error 16. The bed is 5100 pixels
        // at 600 dpi, so 600 dpi gives room for 5000.
        {"B3 too wide",
         "classic-b3",
         [](ScanParamBlock& b, sim::DeviceModel&) {
             b.resolutionX = 600;
             b.resolutionY = 600;
         },
         {0, 0, 5000, 300, 0, 1, 0},
         [](const ScanParamBlock&) {
             return join({esc('F'), escByte('C', 0), escByte('D', 1), escByte('B', 0x01),
                          escByte('Z', 0x01), escByte('L', 0), escByte('M', 0),
                          escWords('R', {600, 600}), escTwo('H', 100, 100),
                          escWords('A', {0, 0, 4096, 300})});
         },
         16},
    };
    for (const SequenceCase& c : cases) {
        SCOPED_TRACE(c.name);
        block = ScanParamBlock{};
        openDevice(c.profile);
        baseSettings(block);
        if (c.adjust) c.adjust(block, *device);
        scanner->setScanGeometry(c.geometry);
        scanner->setUpScan();
        EXPECT_TRUE(bytesEqual(c.expected(block), written()));
        EXPECT_EQ(scanner->GetError(), c.errorCode);
        EXPECT_EQ(device->pendingReplyBytes(), 0u);
    }
}

TEST_F(ClassicSetupTest, SimulatorRecordsTheProgrammedScan) {
    openDevice("classic-b8");
    baseSettings(block);
    block.userGammaEnabled = 1;
    block.colorMatrixEnabled = 1;
    block.resolutionX = 600;
    block.resolutionY = 1200;
    block.zoomY = 150;
    scanner->setScanGeometry({16, 32, 1001, 700, 5, 8, 2});
    scanner->setUpScan();
    ASSERT_EQ(scanner->GetError(), 0);

    const sim::ProgrammedScan& scan = device->classic().scan;
    EXPECT_EQ(scan.setUpsStarted, 1);
    EXPECT_EQ(scan.colorCode, 2);
    EXPECT_EQ(scan.bits, 8);
    EXPECT_EQ(scan.gammaTables.size(), 3u);
    EXPECT_EQ(scan.gammaTables.at('G'), Bytes(block.gammaTableG, block.gammaTableG + 256));
    EXPECT_EQ(scan.colorMatrix, Bytes(block.colorMatrix, block.colorMatrix + 9));
    EXPECT_EQ(scan.colorMatrixOn, 1);
    EXPECT_EQ(scan.resolutionX, 600);
    EXPECT_EQ(scan.resolutionY, 1200);
    EXPECT_EQ(scan.zoomX, 100);
    EXPECT_EQ(scan.zoomY, 150);
    EXPECT_EQ(scan.areaLeft, 16);
    EXPECT_EQ(scan.areaTop, 32);
    EXPECT_EQ(scan.areaWidth, 1008);
    EXPECT_EQ(scan.areaHeight, 700);
    EXPECT_FALSE(scan.brightness.has_value());
}

TEST(ClassicSetupCodes, ColourHalftoneAndTextEnhancement) {
    // Drop-out channels, the colour variant, and the mode as prepared.
    EXPECT_EQ(classicColorCode(1, 1, 0x13, 0), 0x10);
    EXPECT_EQ(classicColorCode(1, 3, 0x13, 1), 0x30);
    EXPECT_EQ(classicColorCode(1, 4, 0x13, 0), 0x00);
    EXPECT_EQ(classicColorCode(0, 1, 2, 1), 0x01);
    EXPECT_EQ(classicColorCode(0, 1, 0x13, 1), 0x13);
    EXPECT_EQ(classicColorCode(0, 0, 2, 0), 0x02);
    // Text enhancement replaces the table from level 3 on, not on levels 1 and 2.
    EXPECT_EQ(classicHalftoneCode(1, 3, 4), 3);
    EXPECT_EQ(classicHalftoneCode(1, 2, 4), 0x80);
    EXPECT_EQ(classicHalftoneCode(1, 1, 2), 0x10);
    EXPECT_EQ(classicHalftoneCode(1, 8, 10), 3);  // the table is not read
    EXPECT_EQ(classicHalftoneCode(0, 8, 10), std::nullopt);
    EXPECT_EQ(classicTextEnhanceCode(1, 1), 2);
    EXPECT_EQ(classicTextEnhanceCode(1, 0), 0);
    EXPECT_EQ(classicTextEnhanceCode(0, 1), 1);
    EXPECT_EQ(classicTextEnhanceCode(0, 0), 0);
}

TEST(ClassicSetupArithmetic, ResolutionAndZoomAbove4800Dpi) {
    struct Case {
        int32_t resX, resY, zoomX, zoomY;
        DeviceResolution expected;
    } cases[] = {
        {600, 600, 100, 100, {600, 600, 100, 100}},
        {4800, 9600, 100, 80, {4800, 9600, 100, 80}},  // only X triggers the recomputation
        {9600, 9600, 100, 100, {4800, 4800, 200, 200}},
        {9600, 600, 100, 90, {4800, 600, 200, 90}},
        {6000, 7000, 100, 100, {4800, 4800, 125, 145}},
    };
    for (const Case& c : cases) {
        const DeviceResolution r = classicDeviceResolution(c.resX, c.resY, c.zoomX, c.zoomY);
        EXPECT_EQ(r.resolutionX, c.expected.resolutionX) << c.resX;
        EXPECT_EQ(r.resolutionY, c.expected.resolutionY) << c.resX;
        EXPECT_EQ(r.zoomX, c.expected.zoomX) << c.resX;
        EXPECT_EQ(r.zoomY, c.expected.zoomY) << c.resX;
    }
}

TEST(ClassicSetupArithmetic, MaximumWidth) {
    struct Case {
        uint32_t sourceWidth;
        uint16_t maximumResolution;
        int32_t resolutionX, zoomX;
        int64_t expected;
    } cases[] = {
        {10200, 1200, 600, 100, 5100},    // 60 000: one step, rounded to the nearest pixel
        {10201, 1200, 600, 100, 5101},    // 5100.5 rounds up
        {10200, 1200, 800, 100, 6800},    // exactly 80 000 still takes one step
        {10200, 1200, 1200, 100, 10200},  // 120 000: two steps
        {10200, 1200, 1000, 90, 7648},    // 7650 rounded down to a multiple of 8
        {1200, 1200, 70000, 100, 4464},   // the effective resolution is kept to 16 bits
        {60000, 600, 600, 130, 78000},    // a product past 32 bits does not wrap
    };
    for (const Case& c : cases) {
        EXPECT_EQ(classicMaximumWidth(c.sourceWidth, c.maximumResolution, c.resolutionX, c.zoomX),
                  c.expected)
            << c.sourceWidth << " " << c.resolutionX << " " << c.zoomX;
    }
}

struct AreaCase {
    const char* name;
    AreaRequest request;
    int64_t left, width;
    uint16_t padPixels;
    bool send;
    int32_t errorCode;
};

TEST(ClassicSetupArithmetic, AreaAlignmentAndLimits) {
    // level, mirror, scanSpeed, bits, left, top, width, height, maximum width
    const AreaCase cases[] = {
        {"1001 no mirror", {1, 0, 0, 1, 0, 0, 1001, 300, 5100}, 0, 1008, 0, true, 0},
        {"1001 mirror level 1", {1, 1, 0, 1, 0, 0, 1001, 300, 5100}, 0, 1008, 7, true, 0},
        {"1001 mirror level 2", {2, 1, 0, 1, 0, 0, 1001, 300, 5100}, 0, 1008, 7, true, 0},
        {"1001 mirror speed 1", {2, 1, 1, 1, 0, 0, 1001, 300, 5100}, 0, 1008, 0, true, 0},
        // Device mirroring keeps the right edge: no room to grow left, so it shrinks.
        {"device mirror at 0", {3, 1, 0, 1, 0, 0, 1001, 300, 5100}, 1, 1000, 1, true, 0},
        {"device mirror grows", {8, 1, 0, 1, 8, 0, 1001, 300, 5100}, 1, 1008, 0, true, 0},
        {"device mirror cut", {6, 1, 0, 1, 5000, 0, 200, 300, 5100}, 4996, 104, 0, true, 0},
        {"cut at the right", {6, 0, 0, 1, 5000, 0, 200, 300, 5100}, 5000, 96, 104, true, 0},
        {"left at the maximum", {6, 0, 0, 1, 5100, 0, 8, 300, 5100}, 5100, 0, 8, true, 0},
        // An area starting beyond the maximum width would get a negative width.
        {"left beyond", {6, 0, 0, 1, 5101, 0, 8, 300, 5100}, 5101, 8, 0, false, 34},
        {"left beyond mirrored", {6, 1, 0, 1, 6000, 0, 8, 300, 5100}, 6000, 8, 0, false, 34},
        // Levels other than 7 and 8.
        {"16-bit 16 008", {6, 0, 0, 16, 0, 0, 16008, 300, 20000}, 0, 16008, 0, true, 16},
        {"8-bit 16 000", {6, 0, 0, 8, 0, 0, 16000, 300, 20000}, 0, 16000, 0, true, 0},
        {"clamped 16 128", {6, 0, 0, 8, 0, 0, 16200, 300, 20000}, 0, 16128, 0, true, 16},
        {"level 1 5000", {1, 0, 0, 1, 0, 0, 5000, 300, 5100}, 0, 4096, 0, true, 16},
        {"level 1 4096", {1, 0, 0, 1, 0, 0, 4096, 300, 5100}, 0, 4096, 0, true, 0},
        // Levels 7 and 8: position first, then size; nothing clamped.
        {"top 60 000 + 8000", {8, 0, 0, 1, 0, 60000, 200, 8000, 5100}, 0, 200, 0, false, 34},
        {"right edge", {8, 0, 0, 1, 60000, 0, 8000, 300, 70000}, 60000, 8000, 0, false, 34},
        {"height 65 536", {7, 0, 0, 1, 0, 0, 200, 65536, 5100}, 0, 200, 0, false, 34},
        {"width 32 760", {8, 0, 0, 1, 0, 0, 32760, 300, 40000}, 0, 32760, 0, false, 35},
        {"width 32 752", {8, 0, 0, 16, 0, 0, 32752, 300, 40000}, 0, 32752, 0, true, 0},
    };
    for (const AreaCase& c : cases) {
        SCOPED_TRACE(c.name);
        const AlignedArea area = classicAlignArea(c.request);
        EXPECT_EQ(area.left, c.left);
        EXPECT_EQ(area.width, c.width);
        EXPECT_EQ(area.padPixels, c.padPixels);
        EXPECT_EQ(area.send, c.send);
        EXPECT_EQ(area.errorCode, c.errorCode);
    }
}

TEST_F(ClassicSetupTest, PadPixelsComeFromTheLastSetUp) {
    openDevice("classic-b4");  // level 2: no device mirroring
    baseSettings(block);
    block.mirror = 1;
    scanner->setScanGeometry({0, 0, 1001, 300, 0, 1, 0});
    scanner->setUpScan();
    EXPECT_EQ(scanner->padPixels(), 7);
    EXPECT_EQ(device->classic().scan.areaWidth, 1008);
}

}  // namespace
}  // namespace vexscan::test
