// The records shared with the caller keep their byte layout: fields at fixed offsets, packed,
// little-endian, whatever the compiler's natural alignment would be.
#include "vexscan/api/scan_param_block.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "vexscan/api/vexscan.h"

namespace {

static_assert(sizeof(ScanParamBlock) == 1776);
static_assert(alignof(ScanParamBlock) == 1, "a caller's block may sit at any address");

static_assert(offsetof(InitAcquireResult, status) == 0);
static_assert(offsetof(InitAcquireResult, bytesPerLine) == 8);
static_assert(offsetof(InitAcquireResult, pixelsPerLine) == 16);
static_assert(offsetof(InitAcquireResult, lineCount) == 20);
static_assert(sizeof(InitAcquireResult) == 24);

static_assert(offsetof(AcquireImageResult, status) == 0);
static_assert(offsetof(AcquireImageResult, pageDone) == 8);
static_assert(offsetof(AcquireImageResult, linesDelivered) == 12);
static_assert(sizeof(AcquireImageResult) == 16);

using BlockImage = std::array<uint8_t, 1776>;

BlockImage imageOf(const ScanParamBlock& block) {
    BlockImage image{};
    std::memcpy(image.data(), &block, sizeof block);
    return image;
}

struct FieldCase {
    const char* name;
    std::function<void(ScanParamBlock&)> write;
    std::size_t offset;
    std::vector<uint8_t> bytes;
};

// Each write must land exactly on its documented bytes and nowhere else.
const std::vector<FieldCase> kFieldCases = {
    {"levelIndex", [](ScanParamBlock& b) { b.levelIndex = 7; }, 0x000, {0x07, 0x00, 0x00, 0x00}},
    {"levelCode",
     [](ScanParamBlock& b) { std::memcpy(b.levelCode, "B7", 3); },
     0x004,
     {'B', '7', 0x00}},
    {"modelCode",
     [](ScanParamBlock& b) { std::memcpy(b.modelCode, "JUNIPER", 8); },
     0x008,
     {'J', 'U', 'N', 'I', 'P', 'E', 'R', 0x00}},
    {"optionHeight",
     [](ScanParamBlock& b) { b.optionHeight = 0x01020304; },
     0x028,
     {0x04, 0x03, 0x02, 0x01}},
    {"levelFeatureCount (unaligned)",
     [](ScanParamBlock& b) { b.levelFeatureCount = 0x11223344; },
     0x04E,
     {0x44, 0x33, 0x22, 0x11}},
    {"resolutionList[0]",
     [](ScanParamBlock& b) { b.resolutionList[0] = 1200; },
     0x056,
     {0xB0, 0x04, 0x00, 0x00}},
    {"resolutionList[31]",
     [](ScanParamBlock& b) { b.resolutionList[31] = 0x0A0B0C0D; },
     0x0D2,
     {0x0D, 0x0C, 0x0B, 0x0A}},
    {"resolutionCount",
     [](ScanParamBlock& b) { b.resolutionCount = 32; },
     0x0D6,
     {0x20, 0x00, 0x00, 0x00}},
    {"dropoutChannel (unaligned)",
     [](ScanParamBlock& b) { b.dropoutChannel = 3; },
     0x0EA,
     {0x03, 0x00, 0x00, 0x00}},
    {"zoomX (unaligned)",
     [](ScanParamBlock& b) { b.zoomX = 150; },
     0x0FE,
     {0x96, 0x00, 0x00, 0x00}},
    {"resolutionY (unaligned)",
     [](ScanParamBlock& b) { b.resolutionY = 600; },
     0x10A,
     {0x58, 0x02, 0x00, 0x00}},
    {"invertLineArt", [](ScanParamBlock& b) { b.invertLineArt = 0xFF; }, 0x122, {0xFF}},
    {"brightness negative",
     [](ScanParamBlock& b) { b.brightness = -333; },
     0x12A,
     {0xB3, 0xFE, 0xFF, 0xFF}},
    {"sharpness (unaligned)",
     [](ScanParamBlock& b) { b.sharpness = 999; },
     0x13A,
     {0xE7, 0x03, 0x00, 0x00}},
    {"gammaValue", [](ScanParamBlock& b) { b.gammaValue = 220; }, 0x140, {0xDC, 0x00}},
    {"useOption", [](ScanParamBlock& b) { b.useOption = 1; }, 0x154, {0x01}},
    {"monoChannelSelect",
     [](ScanParamBlock& b) { b.monoChannelSelect = 1; },
     0x188,
     {0x01, 0x00, 0x00, 0x00}},
    {"gammaTableB[0]", [](ScanParamBlock& b) { b.gammaTableB[0] = 0x5A; }, 0x19C, {0x5A}},
    {"gammaTableR[255]", [](ScanParamBlock& b) { b.gammaTableR[255] = 0xA5; }, 0x49B, {0xA5}},
    {"colorMatrix[8]", [](ScanParamBlock& b) { b.colorMatrix[8] = 0x77; }, 0x5A4, {0x77}},
    {"filmType", [](ScanParamBlock& b) { b.filmType = 2; }, 0x5D6, {0x02}},
    {"feederFlagB", [](ScanParamBlock& b) { b.feederFlagB = 1; }, 0x5F3, {0x01}},
    {"zoomMax", [](ScanParamBlock& b) { b.zoomMax = 200; }, 0x67C, {0xC8, 0x00}},
    {"areaWidth (unaligned)",
     [](ScanParamBlock& b) { b.areaWidth = 0x00012345; },
     0x67E,
     {0x45, 0x23, 0x01, 0x00}},
    {"areaTop (unaligned)",
     [](ScanParamBlock& b) { b.areaTop = 0x7F000001; },
     0x68A,
     {0x01, 0x00, 0x00, 0x7F}},
    {"threshold not set", [](ScanParamBlock& b) { b.threshold = -1; }, 0x696, {0xFF, 0xFF}},
    {"userGammaCode", [](ScanParamBlock& b) { b.userGammaCode = 0x0104; }, 0x698, {0x04, 0x01}},
    {"paperHeightOut (unaligned)",
     [](ScanParamBlock& b) { b.paperHeightOut = 1170; },
     0x69E,
     {0x92, 0x04, 0x00, 0x00}},
    {"hostWindow, the last field",
     [](ScanParamBlock& b) { b.hostWindow = static_cast<int32_t>(0xCAFE0102u); },
     0x6EC,
     {0x02, 0x01, 0xFE, 0xCA}},
};

TEST(ScanParamBlockLayout, EachFieldWritesOnlyItsDocumentedBytesLittleEndian) {
    for (const FieldCase& field : kFieldCases) {
        SCOPED_TRACE(field.name);
        ScanParamBlock block{};
        field.write(block);
        const BlockImage image = imageOf(block);

        BlockImage expected{};
        ASSERT_LE(field.offset + field.bytes.size(), expected.size());
        std::memcpy(expected.data() + field.offset, field.bytes.data(), field.bytes.size());
        for (std::size_t i = 0; i < image.size(); ++i) {
            ASSERT_EQ(expected[i], image[i]) << "byte 0x" << std::hex << i;
        }
    }
}

TEST(ScanParamBlockLayout, ReadsACallersByteImageAtTheDocumentedOffsets) {
    // The caller fills bytes in its own buffer; the library must see them in the right fields.
    BlockImage image{};
    const auto put32 = [&image](std::size_t offset, uint32_t value) {
        for (std::size_t i = 0; i < 4; ++i) {
            image[offset + i] = static_cast<uint8_t>(value >> (8 * i));
        }
    };
    put32(0x0F2, 5);           // imageType
    put32(0x106, 300);         // resolutionX
    put32(0x136, 9);           // halftoneIndex
    put32(0x686, 0x12345678);  // areaLeft
    put32(0x6EC, 0x80000001);  // hostWindow
    image[0x140] = 0x2C;       // gammaValue 300
    image[0x141] = 0x01;

    ScanParamBlock block;
    std::memcpy(&block, image.data(), sizeof block);
    // Packed fields are copied out: a reference to an unaligned int32 is not allowed.
    EXPECT_EQ(5, int32_t{block.imageType});
    EXPECT_EQ(300, int32_t{block.resolutionX});
    EXPECT_EQ(9, int32_t{block.halftoneIndex});
    EXPECT_EQ(0x12345678, int32_t{block.areaLeft});
    EXPECT_EQ(static_cast<int32_t>(0x80000001u), int32_t{block.hostWindow});
    EXPECT_EQ(300, int16_t{block.gammaValue});
}

}  // namespace
