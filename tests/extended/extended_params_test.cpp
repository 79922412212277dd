// Programming an extended scan: the image formats, the width and left fitting, the block size, and
// whole 64-byte parameter blocks as the simulated device receives them, with their downloads.
#include <functional>
#include <optional>

#include "tests/extended/extended_fixture.h"
#include "vexscan/device/code_tables.h"
#include "vexscan/extended/extended_params.h"

namespace vexscan::test {
namespace {

TEST(ExtendedImageFormat, EachTypeAndWhatTheDeviceSends) {
    const struct {
        int32_t type;
        bool eightBit, swap;
        std::optional<ExtendedImageFormat> format;
    } cases[] = {
        {0, false, false, ExtendedImageFormat{0, 1, 1, 0, 1, 8, 1, 8}},
        {2, false, false, ExtendedImageFormat{2, 8, 8, 0, 1, 1, 1, 1}},
        {5, false, true, ExtendedImageFormat{5, 8, 8, 35, 3, 1, 3, 1}},
        {5, false, false, ExtendedImageFormat{5, 8, 8, 19, 3, 1, 3, 1}},
        // 12-bit colour: two pixels in three bytes on the wire.
        {6, false, false, ExtendedImageFormat{6, 4, 4, 19, 2, 1, 3, 2}},
        // 12-bit samples come as two bytes each, even when the output keeps 8 bits.
        {7, false, false, ExtendedImageFormat{7, 16, 12, 19, 6, 1, 6, 1}},
        {7, true, false, ExtendedImageFormat{7, 8, 12, 19, 3, 1, 6, 1}},
        {8, false, false, ExtendedImageFormat{8, 16, 12, 0, 2, 1, 2, 1}},
        {8, true, false, ExtendedImageFormat{8, 8, 12, 0, 1, 1, 2, 1}},
        {1, false, false, std::nullopt},
        {3, false, false, std::nullopt},
        {4, false, false, std::nullopt},
        {9, false, false, std::nullopt},
        {-1, false, false, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " eightBit " << c.eightBit);
        const auto format = extendedImageFormatFor(c.type, c.eightBit, c.swap);
        ASSERT_EQ(format.has_value(), c.format.has_value());
        if (!format) continue;
        EXPECT_EQ(format->imageKind, c.format->imageKind);
        EXPECT_EQ(format->bitsPerChannel, c.format->bitsPerChannel);
        EXPECT_EQ(format->bitsSent, c.format->bitsSent);
        EXPECT_EQ(format->colorMode, c.format->colorMode);
        EXPECT_EQ(format->bytesPerUnit, c.format->bytesPerUnit);
        EXPECT_EQ(format->pixelsPerUnit, c.format->pixelsPerUnit);
        EXPECT_EQ(format->deviceBytesPerUnit, c.format->deviceBytesPerUnit);
        EXPECT_EQ(format->devicePixelsPerUnit, c.format->devicePixelsPerUnit);
    }
}

TEST(ExtendedWidthFit, EightBitAndAlignedCasesWithAndWithoutMirror) {
    const struct {
        const char* name;
        uint32_t w, l, maxW;
        uint8_t bits;
        bool mirror;
        std::optional<WidthFit> fit;
    } cases[] = {
        {"8-bit inside", 100, 10, 2550, 8, false, WidthFit{100, 10, 0}},
        {"8-bit clipped", 1000, 2000, 2550, 8, false, WidthFit{550, 2000, 450}},
        {"8-bit mirror moved left", 1000, 2000, 2550, 8, true, WidthFit{1000, 1550, 0}},
        {"8-bit mirror inside", 1000, 10, 2550, 8, true, WidthFit{1000, 10, 0}},
        {"8-bit mirror wider than the bed", 3000, 0, 2550, 8, true, std::nullopt},
        {"8-bit mirror exactly the bed", 2550, 100, 2550, 8, true, WidthFit{2550, 0, 0}},
        {"line art rounded up", 1001, 0, 2550, 1, false, WidthFit{1008, 0, 0}},
        {"line art clipped", 1001, 2000, 2550, 1, false, WidthFit{544, 2000, 457}},
        {"line art mirror grows left", 13, 100, 2550, 1, true, WidthFit{16, 97, 0}},
        {"line art mirror near the left edge", 13, 2, 2550, 1, true, WidthFit{8, 7, 5}},
        {"line art mirror clipped right", 13, 2545, 2550, 1, true, WidthFit{8, 2542, 0}},
        {"12-bit aligned like line art", 1001, 0, 2550, 12, false, WidthFit{1008, 0, 0}},
        {"4-bit aligned like line art", 13, 2, 2550, 4, true, WidthFit{8, 7, 5}},
        // The pad count is a 16-bit quantity.
        {"pad in 16 bits", 70000, 0, 100, 8, false, WidthFit{100, 0, 4364}},
        {"at the right edge", 10, 2550, 2550, 8, false, WidthFit{0, 2550, 10}},
        {"beyond the right edge", 10, 2551, 2550, 8, false, WidthFit{0xFFFFFFFFu, 2551, 11}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto fit = fitWidthAndLeft(c.w, c.l, c.maxW, c.bits, c.mirror);
        ASSERT_EQ(fit.has_value(), c.fit.has_value());
        if (!fit) continue;
        EXPECT_EQ(fit->width, c.fit->width);
        EXPECT_EQ(fit->left, c.fit->left);
        EXPECT_EQ(fit->padPixels, c.fit->padPixels);
    }
}

TEST(ExtendedLinesPerBlock, CappedAt255AndRefusedBeyondOneBlock) {
    const struct {
        uint32_t lineBytes;
        std::optional<uint8_t> lines;
    } cases[] = {{0, std::nullopt}, {1, 255}, {200, 255}, {256, 255}, {300, 217},
                 {65280, 1}, {65281, std::nullopt}, {0xFFFFFFFFu, std::nullopt}};
    for (const auto& c : cases) {
        EXPECT_EQ(linesPerBlockFor(c.lineBytes), c.lines) << c.lineBytes;
    }
}

// The fields of one expected block; the reserved bytes are always 0.
struct Block {
    uint32_t resX = 300, resY = 300, left = 0, top = 0, width = 0, height = 100;
    uint8_t colorCode = 0, bits = 8, source = 0, speed = 2, lines = 0, gamma = 0, brightness = 3,
            correction = 0, halftone = 0, threshold = 128, text = 0, sharpness = 3, mirror = 0,
            film = 0;

    Bytes bytes() const {
        Bytes b(64, 0);
        putLong(b, 0, resX);
        putLong(b, 4, resY);
        putLong(b, 8, left);
        putLong(b, 12, top);
        putLong(b, 16, width);
        putLong(b, 20, height);
        const uint8_t tail[] = {colorCode, bits,      source, speed,     lines,  gamma, brightness,
                                correction, halftone, threshold, text, sharpness, mirror, film};
        std::copy(std::begin(tail), std::end(tail), b.begin() + 24);
        return b;
    }
};

class ExtendedParamsTest : public ExtendedTest {
public:
    // extended-b7: base 1200 dpi, bed 10 200 x 14 040: at 300 dpi maxW 2550, maxH 3510.
    void defaults() {
        ScanParamBlock& b = *block();
        b.imageType = 2;
        b.eightBitOutput = 0;
        b.resolutionX = 300;
        b.resolutionY = 300;
        b.zoomX = 100;
        b.zoomY = 100;
        b.areaLeft = 2000;
        b.areaWidth = 1000;
        b.areaTop = 0;
        b.areaHeight = 100;
        b.mirror = 0;
        b.monoChannelSelect = 0;
        b.dropoutChannel = 0;
        b.useOption = 0;
        b.filmType = 0;
        b.scanSpeed = 0x102;
        b.halftoneIndex = 0;
        b.textEnhance = 0;
        b.textEnhanceOption = 0;
        b.threshold = 128;
        b.userGammaCode = 0;
        b.userGammaEnabled = 0;
        b.colorMatrixEnabled = 0;
        b.gammaValue = 100;
        b.brightness = 999;
        b.sharpness = 1500;
    }
    Block defaultBlock() const {
        Block e;
        e.gamma = gammaCodeFor(100);
        e.halftone = *halftoneCodeFor(0);
        return e;
    }
    bool build(int32_t layoutCode = 1) {
        scanner()->takeScanArea(layoutCode);
        if (!scanner()->setUpImageType()) return false;
        device->log().clear();
        return scanner()->buildParameters();
    }
    Bytes received() const {
        const auto& bytes = device->extended().parameterBytes;
        return Bytes(bytes.begin(), bytes.end());
    }
};

TEST_F(ExtendedParamsTest, WholeBlocksForATableOfSettings) {
    const struct {
        const char* name;
        std::function<void(ScanParamBlock&)> settings;
        std::function<void(Block&)> expect;
        int16_t pad;
        uint32_t lineBytes;
        int32_t layoutCode = 1;
    } cases[] = {
        {"8-bit grey clipped at the right edge", [](ScanParamBlock&) {},
         [](Block& e) { e.left = 2000; e.width = 550; e.lines = 118; }, 450, 550},
        {"8-bit grey mirrored",
         [](ScanParamBlock& b) { b.mirror = 7; },
         [](Block& e) { e.left = 1550; e.width = 1000; e.lines = 65; e.mirror = 1; }, 0, 1000},
        {"line art rounded up to 8",
         [](ScanParamBlock& b) { b.imageType = 0; b.areaLeft = 0; b.areaWidth = 1001; },
         [](Block& e) { e.bits = 1; e.width = 1008; e.lines = 255; }, 0, 126},
        {"line art clipped",
         [](ScanParamBlock& b) { b.imageType = 0; b.areaWidth = 1001; },
         [](Block& e) { e.bits = 1; e.left = 2000; e.width = 544; e.lines = 255; }, 457, 68},
        {"line art mirrored, room on the left",
         [](ScanParamBlock& b) { b.imageType = 0; b.mirror = 1; b.areaLeft = 100; b.areaWidth = 13; },
         [](Block& e) { e.bits = 1; e.left = 97; e.width = 16; e.lines = 255; e.mirror = 1; }, 0, 2},
        {"line art mirrored, no room on the left",
         [](ScanParamBlock& b) { b.imageType = 0; b.mirror = 1; b.areaLeft = 2; b.areaWidth = 13; },
         [](Block& e) { e.bits = 1; e.left = 7; e.width = 8; e.lines = 255; e.mirror = 1; }, 5, 1},
        {"24-bit colour, device order",
         [](ScanParamBlock& b) { b.imageType = 5; b.areaLeft = 0; },
         [](Block& e) { e.colorCode = 19; e.width = 1000; e.lines = 21; }, 0, 3000},
        {"24-bit colour, swapped order",
         [](ScanParamBlock& b) { b.imageType = 5; b.areaLeft = 0; },
         [](Block& e) { e.colorCode = 35; e.width = 1000; e.lines = 21; }, 0, 3000, 2},
        {"dropout channel 2 whatever the type",
         [](ScanParamBlock& b) { b.imageType = 5; b.areaLeft = 0; b.monoChannelSelect = 1; b.dropoutChannel = 2; },
         [](Block& e) { e.colorCode = 0x20; e.width = 1000; e.lines = 21; }, 0, 3000},
        {"dropout channel out of range",
         [](ScanParamBlock& b) { b.areaLeft = 0; b.monoChannelSelect = 1; b.dropoutChannel = 4; },
         [](Block& e) { e.colorCode = 0; e.width = 1000; e.lines = 65; }, 0, 1000},
        {"12-bit colour sized by its packed samples",
         [](ScanParamBlock& b) { b.imageType = 6; b.areaLeft = 0; },
         [](Block& e) { e.colorCode = 19; e.bits = 4; e.width = 1000; e.lines = 43; }, 0, 1500},
        {"48-bit colour with 8-bit output still reads 12-bit samples",
         [](ScanParamBlock& b) { b.imageType = 7; b.eightBitOutput = 1; b.areaLeft = 0; },
         [](Block& e) { e.colorCode = 19; e.bits = 12; e.width = 1000; e.lines = 10; }, 0, 6000},
        {"16-bit grey with 8-bit output still reads 12-bit samples",
         [](ScanParamBlock& b) { b.imageType = 8; b.eightBitOutput = 1; b.areaLeft = 0; b.areaWidth = 100; },
         [](Block& e) { e.bits = 12; e.width = 104; e.lines = 255; }, 0, 208},
        {"zoom 150 at 300 dpi, height clipped",
         [](ScanParamBlock& b) { b.zoomX = 150; b.zoomY = 50; b.areaLeft = 0; b.areaTop = 1700; },
         [](Block& e) { e.resX = 450; e.resY = 150; e.width = 1000; e.top = 1700; e.height = 55; e.lines = 65; }, 0, 1000},
        {"zoom 33 at 100 dpi",
         [](ScanParamBlock& b) { b.resolutionX = 100; b.zoomX = 33; b.areaLeft = 0; b.areaWidth = 200; },
         [](Block& e) { e.resX = 33; e.width = 200; e.lines = 255; }, 0, 200},
        {"threshold low byte, negative brightness, sharpness, speed, film, text enhance",
         [](ScanParamBlock& b) {
             b.areaLeft = 0; b.threshold = 0x1234; b.brightness = -400; b.sharpness = 2600;
             b.scanSpeed = 0x1FF; b.filmType = 9; b.textEnhance = 1; b.textEnhanceOption = 1;
         },
         [](Block& e) {
             e.width = 1000; e.lines = 65; e.threshold = 0x34; e.brightness = 0xFF;
             e.sharpness = 5; e.speed = 0xFF; e.film = 9; e.halftone = 3; e.text = 2;
         }, 0, 1000},
        {"threshold unset: 110 with gamma code 4 and the text option",
         [](ScanParamBlock& b) { b.areaLeft = 0; b.threshold = -1; b.userGammaCode = 4; b.textEnhanceOption = 1; },
         [](Block& e) { e.width = 1000; e.lines = 65; e.threshold = 110; e.text = 1; }, 0, 1000},
        {"threshold unset and no text option: not written",
         [](ScanParamBlock& b) { b.areaLeft = 0; b.threshold = -1; b.userGammaCode = 4; },
         [](Block& e) { e.width = 1000; e.lines = 65; e.threshold = 0; }, 0, 1000},
        {"halftone row 3",
         [](ScanParamBlock& b) { b.areaLeft = 0; b.halftoneIndex = 3; },
         [](Block& e) { e.width = 1000; e.lines = 65; e.halftone = *halftoneCodeFor(3); }, 0, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart("extended-b7");
        ASSERT_EQ(open(), 1);
        defaults();
        c.settings(*block());
        Block e = defaultBlock();
        c.expect(e);

        ASSERT_TRUE(build(c.layoutCode));
        EXPECT_TRUE(bytesEqual(e.bytes(), received()));
        EXPECT_EQ(scanner()->padPixels(), c.pad);
        EXPECT_EQ(scanner()->deviceLineBytes(), c.lineBytes);
        const Bytes sent = written();
        Bytes expectedWire = join({{0x1C, 0x57}, e.bytes()});
        EXPECT_TRUE(bytesEqual(expectedWire, sent));
        // The simulator decodes what it received.
        EXPECT_EQ(device->extended().parameters.width, e.width);
        EXPECT_EQ(device->extended().parameters.linesPerBlock, e.lines);
    }
}

TEST_F(ExtendedParamsTest, BlockSizeLimits) {
    const struct {
        const char* name;
        std::function<void(ScanParamBlock&)> settings;
        bool built;
        uint8_t lines;
    } cases[] = {
        // Twice 1200 dpi: maxW 20 400. Six bytes a pixel: 10 880 pixels fill one block exactly.
        {"one line a block",
         [](ScanParamBlock& b) { b.imageType = 7; b.resolutionX = 1200; b.zoomX = 200; b.areaLeft = 0; b.areaWidth = 10880; },
         true, 1},
        {"a line longer than a block",
         [](ScanParamBlock& b) { b.imageType = 7; b.resolutionX = 1200; b.zoomX = 200; b.areaLeft = 0; b.areaWidth = 10881; },
         false, 0},
        // Four times 1200 dpi: maxW 40 800.
        {"widest line", [](ScanParamBlock& b) { b.resolutionX = 2400; b.zoomX = 200; b.areaLeft = 0; b.areaWidth = 32752; },
         true, 1},
        {"wider than 32 752", [](ScanParamBlock& b) { b.resolutionX = 2400; b.zoomX = 200; b.areaLeft = 0; b.areaWidth = 32753; },
         false, 0},
        {"left at the right edge", [](ScanParamBlock& b) { b.areaLeft = 2550; b.areaWidth = 10; }, false, 0},
        {"left beyond the right edge", [](ScanParamBlock& b) { b.areaLeft = 2551; b.areaWidth = 10; }, false, 0},
        {"line art with fewer than 8 pixels left", [](ScanParamBlock& b) { b.imageType = 0; b.areaLeft = 2545; b.areaWidth = 10; }, false, 0},
        {"mirrored 8-bit wider than the bed", [](ScanParamBlock& b) { b.mirror = 1; b.areaLeft = 0; b.areaWidth = 2551; }, false, 0},
        {"top beyond the bottom edge", [](ScanParamBlock& b) { b.areaTop = 3511; }, false, 0},
        {"halftone row outside the table", [](ScanParamBlock& b) { b.halftoneIndex = 10; }, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart("extended-b7");
        ASSERT_EQ(open(), 1);
        defaults();
        c.settings(*block());
        EXPECT_EQ(build(), c.built);
        if (c.built) {
            EXPECT_EQ(device->extended().parameters.linesPerBlock, c.lines);
        } else {
            // Nothing reaches the device from a failed build.
            EXPECT_TRUE(written().empty());
            EXPECT_EQ(device->extended().parameterBlocks, 0u);
        }
    }
}

TEST_F(ExtendedParamsTest, ImageTypesTheFamilyCannotDeliverAreRefused) {
    ASSERT_EQ(open(), 1);
    defaults();
    scanner()->takeScanArea(1);
    ASSERT_TRUE(scanner()->setUpImageType());
    for (int32_t type : {1, 3, 4, 9}) {
        block()->imageType = type;
        EXPECT_FALSE(scanner()->setUpImageType()) << type;
        EXPECT_EQ(scanner()->imageFormat().imageKind, 2);  // the previous format stays
    }
}

TEST_F(ExtendedParamsTest, DownloadsGoRedGreenBlueThenMatrixBeforeTheBlock) {
    ASSERT_EQ(open(), 1);
    defaults();
    ScanParamBlock& b = *block();
    b.areaLeft = 0;
    b.userGammaEnabled = 1;
    b.userGammaCode = 0x44;
    b.colorMatrixEnabled = 1;
    for (int i = 0; i < 256; ++i) {
        b.gammaTableR[i] = static_cast<uint8_t>(i);
        b.gammaTableG[i] = static_cast<uint8_t>(255 - i);
        b.gammaTableB[i] = static_cast<uint8_t>(i ^ 0x55);
    }
    for (int i = 0; i < 9; ++i) b.colorMatrix[i] = static_cast<uint8_t>(0x90 + i);

    ASSERT_TRUE(build());
    const auto table = [](uint8_t selector, const uint8_t* data) {
        Bytes group(1 + 256);
        group[0] = selector;
        std::copy(data, data + 256, group.begin() + 1);
        return group;
    };
    Block e = defaultBlock();
    e.width = 1000;
    e.lines = 65;
    e.gamma = 0x44;
    e.brightness = 0;  // not written with tone tables: still 0 after open
    e.correction = 1;
    EXPECT_TRUE(bytesEqual(
        join({{0x1B, 'z'}, table('R', b.gammaTableR), {0x1B, 'z'}, table('G', b.gammaTableG),
              {0x1B, 'z'}, table('B', b.gammaTableB), {0x1B, 'm'},
              Bytes(b.colorMatrix, b.colorMatrix + 9), {0x1C, 'W'}, e.bytes()}),
        written()));
    EXPECT_EQ(device->extended().toneSelectors, (std::vector<uint8_t>{'R', 'G', 'B'}));
    EXPECT_EQ(device->extended().colorMatrixDownloads, 1u);
}

TEST_F(ExtendedParamsTest, UnwrittenBytesKeepThePreviousBuildsValues) {
    ASSERT_EQ(open(), 1);
    defaults();
    block()->areaLeft = 0;
    ASSERT_TRUE(build());  // brightness 999 / 333 = 3, threshold 128
    EXPECT_EQ(device->extended().parameters.brightness, 3);

    block()->userGammaEnabled = 1;
    block()->brightness = 1998;
    block()->threshold = -1;
    ASSERT_TRUE(build());
    EXPECT_EQ(device->extended().parameters.brightness, 3);
    EXPECT_EQ(device->extended().parameters.threshold, 128);
}

TEST_F(ExtendedParamsTest, RefusedDownloadOrBlockEndsTheBuild) {
    const struct {
        const char* name;
        uint16_t refused;
        bool tables;
        Bytes sent;
    } cases[] = {
        {"tone table refused", sim::commandKey(0x1B, 'z'), true, {0x1B, 'z'}},
        {"matrix refused", sim::commandKey(0x1B, 'm'), false, {0x1B, 'm'}},
        {"block refused", sim::commandKey(0x1C, 'W'), false, {0x1C, 'W'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart("extended-b7");
        ASSERT_EQ(open(), 1);
        defaults();
        block()->areaLeft = 0;
        block()->userGammaEnabled = c.tables ? 1 : 0;
        block()->colorMatrixEnabled = c.refused == sim::commandKey(0x1C, 'W') ? 0 : 1;
        device->faults().refusedCommands = {c.refused};
        EXPECT_FALSE(build());
        EXPECT_TRUE(bytesEqual(c.sent, written()));
        EXPECT_EQ(device->extended().parameterBlocks, 0u);
    }
}

TEST_F(ExtendedParamsTest, EnableOptionSetsTheSourceUntilTheNextBuild) {
    ASSERT_EQ(open(), 1);
    device->log().clear();
    EXPECT_EQ(PMEnableOption(5), 1);
    EXPECT_TRUE(bytesEqual({0x1B, 'e', 0x01}, written()));
    EXPECT_EQ(scanner()->paramBlock().source, 1);
    EXPECT_EQ(device->extended().optionEnabled, 1);

    defaults();
    block()->areaLeft = 0;
    ASSERT_TRUE(build());
    EXPECT_EQ(device->extended().parameters.source, 0);

    device->faults().refusedCommands = {sim::commandKey(0x1B, 'e')};
    const int32_t before = PMGetScanError();
    EXPECT_EQ(PMEnableOption(1), 0);
    EXPECT_EQ(scanner()->paramBlock().source, 0);
    EXPECT_EQ(PMGetScanError(), before);
}

TEST_F(ExtendedParamsTest, OptionAreaUsedWhenScanningFromTheOption) {
    ASSERT_EQ(open(), 1);
    defaults();
    // Feeder 10 200 x 16 800 at 1200 dpi: maxH 4200 at 300 dpi (the bed gives 3510).
    block()->useOption = 1;
    block()->areaLeft = 0;
    block()->areaTop = 4000;
    block()->areaHeight = 400;
    ASSERT_TRUE(build());
    EXPECT_EQ(device->extended().parameters.height, 200u);
    EXPECT_EQ(device->extended().parameters.source, 1);
}

}  // namespace
}  // namespace vexscan::test
