// Each layout written as PNG and as PNM, read back: the file's type, depth and every sample.
// The rows handed to the writers carry padding behind the pixels, as the library's rows do.
#include "tools/vexscan-scan/image_writer.h"

#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/temporary_directory.h"
#include "tests/tools/image_files.h"
#include "tools/vexscan-scan/output_file.h"

namespace vexscan::tool {
namespace {

using Samples = std::vector<std::array<uint32_t, 3>>;  // one entry a pixel

struct LayoutCase {
    const char* name;
    PixelLayout layout;
    uint32_t width;
    std::vector<uint8_t> row;  // the library's row, padding included
    int pngDepth;
    int pngColorType;
    Samples pngSamples;  // palette images: the index
    char pnmKind;
    uint32_t pnmMaxValue;
    Samples pnmSamples;
};

const std::vector<LayoutCase>& layoutCases() {
    static const std::vector<LayoutCase> cases = {
        // Set bits are dark dots: PNG stores them as 0 (black), PBM as 1 (black).
        {"line art",
         PixelLayout::LineArt,
         11,
         {0xB0, 0x3F, 0xEE, 0xEE},
         1,
         PNG_COLOR_TYPE_GRAY,
         {{0}, {1}, {0}, {0}, {1}, {1}, {1}, {1}, {1}, {1}, {0}},
         '4',
         1,
         {{1}, {0}, {1}, {1}, {0}, {0}, {0}, {0}, {0}, {0}, {1}}},
        {"4-bit grey",
         PixelLayout::Gray4,
         3,
         {0x1F, 0xA7, 0xEE, 0xEE},
         4,
         PNG_COLOR_TYPE_GRAY,
         {{1}, {15}, {10}},
         '5',
         15,
         {{1}, {15}, {10}}},
        {"8-bit grey",
         PixelLayout::Gray8,
         3,
         {0, 128, 255, 0xEE},
         8,
         PNG_COLOR_TYPE_GRAY,
         {{0}, {128}, {255}},
         '5',
         255,
         {{0}, {128}, {255}}},
        // 16-bit samples arrive low byte first.
        {"16-bit grey",
         PixelLayout::Gray16,
         2,
         {0x34, 0x12, 0xFF, 0x00},
         16,
         PNG_COLOR_TYPE_GRAY,
         {{0x1234}, {0x00FF}},
         '5',
         65535,
         {{0x1234}, {0x00FF}}},
        // Nibbles 1 (red), 6 (green and blue), 7 (white); the low nibble of the last byte is past
        // the width.
        {"8 colours",
         PixelLayout::Color8,
         3,
         {0x16, 0x75},
         4,
         PNG_COLOR_TYPE_PALETTE,
         {{1}, {6}, {7}},
         '6',
         255,
         {{255, 0, 0}, {0, 255, 255}, {255, 255, 255}}},
        {"256 colours",
         PixelLayout::Color256,
         5,
         {5, 30, 180, 43, 215, 0xEE, 0xEE, 0xEE},
         8,
         PNG_COLOR_TYPE_PALETTE,
         {{5}, {30}, {180}, {43}, {215}},
         '6',
         255,
         {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {51, 51, 51}, {255, 255, 255}}},
        // Blue in the low nibble of the first byte; green high and red low in the second.
        {"12-bit colour",
         PixelLayout::Color12,
         2,
         {0x05, 0x31, 0xAF, 0xA0},
         8,
         PNG_COLOR_TYPE_RGB,
         {{17, 51, 85}, {0, 170, 255}},
         '6',
         255,
         {{17, 51, 85}, {0, 170, 255}}},
        {"24-bit colour",
         PixelLayout::Color24,
         2,
         {1, 2, 3, 250, 251, 252, 0xEE, 0xEE},
         8,
         PNG_COLOR_TYPE_RGB,
         {{1, 2, 3}, {250, 251, 252}},
         '6',
         255,
         {{1, 2, 3}, {250, 251, 252}}},
        {"48-bit colour",
         PixelLayout::Color48,
         1,
         {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0xEE, 0xEE},
         16,
         PNG_COLOR_TYPE_RGB,
         {{0x0201, 0x0403, 0x0605}},
         '6',
         65535,
         {{0x0201, 0x0403, 0x0605}}},
    };
    return cases;
}

class ImageWriters : public testing::Test {
protected:
    // Writes `rows` copies of the case's row; returns the file's path.
    std::string write(OutputFormat format, const LayoutCase& item, uint32_t rows = 2,
                      uint32_t dpi = 150) {
        const std::string path =
            (directory_.path() /
             (std::string("image") + (format == OutputFormat::Png ? ".png" : ".pnm")))
                .string();
        OutputFile output(path);
        std::string error;
        std::FILE* file = output.open(error);
        EXPECT_NE(file, nullptr) << error;
        auto writer = makeImageWriter(format, file, {item.layout, item.width, rows, dpi}, error);
        EXPECT_NE(writer, nullptr) << error;
        if (writer == nullptr) return path;
        for (uint32_t row = 0; row < rows; ++row) {
            EXPECT_TRUE(writer->writeRow(item.row)) << writer->error();
        }
        EXPECT_TRUE(writer->finish()) << writer->error();
        EXPECT_TRUE(output.close(error)) << error;
        return path;
    }

    vexscan::test::TemporaryDirectory directory_;
};

TEST_F(ImageWriters, PngHoldsEachLayoutInItsNaturalForm) {
    for (const LayoutCase& item : layoutCases()) {
        SCOPED_TRACE(item.name);
        std::string error;
        const auto image = tool::test::readPng(write(OutputFormat::Png, item), error);
        ASSERT_TRUE(image) << error;
        EXPECT_EQ(image->width, item.width);
        EXPECT_EQ(image->height, 2u);
        EXPECT_EQ(image->bitDepth, item.pngDepth);
        EXPECT_EQ(image->colorType, item.pngColorType);
        for (uint32_t y = 0; y < 2; ++y) {
            for (uint32_t x = 0; x < item.width; ++x) {
                for (uint32_t c = 0; c < image->channels(); ++c) {
                    EXPECT_EQ(image->sample(x, y, c), item.pngSamples[x][c])
                        << "pixel " << x << " row " << y;
                }
            }
        }
    }
}

TEST_F(ImageWriters, PalettesAreTheEightColoursAndTheColourCube) {
    std::string error;
    const auto eight = tool::test::readPng(write(OutputFormat::Png, layoutCases()[4]), error);
    ASSERT_TRUE(eight) << error;
    ASSERT_EQ(eight->palette.size(), 8u * 3);
    for (uint32_t i = 0; i < 8; ++i) {  // bit 0 red, bit 1 green, bit 2 blue
        EXPECT_EQ(eight->palette[3 * i], (i & 1) != 0 ? 255 : 0) << i;
        EXPECT_EQ(eight->palette[3 * i + 1], (i & 2) != 0 ? 255 : 0) << i;
        EXPECT_EQ(eight->palette[3 * i + 2], (i & 4) != 0 ? 255 : 0) << i;
    }
    const auto cube = tool::test::readPng(write(OutputFormat::Png, layoutCases()[5]), error);
    ASSERT_TRUE(cube) << error;
    ASSERT_EQ(cube->palette.size(), 216u * 3);
    for (uint32_t i = 0; i < 216; ++i) {
        EXPECT_EQ(cube->palette[3 * i], i % 6 * 51) << i;
        EXPECT_EQ(cube->palette[3 * i + 1], i / 6 % 6 * 51) << i;
        EXPECT_EQ(cube->palette[3 * i + 2], i / 36 * 51) << i;
    }
}

TEST_F(ImageWriters, PngRecordsTheResolution) {
    std::string error;
    const auto image =
        tool::test::readPng(write(OutputFormat::Png, layoutCases()[2], 1, 300), error);
    ASSERT_TRUE(image) << error;
    EXPECT_EQ(image->pixelsPerMetre, 11811u);  // 300 dpi
}

TEST_F(ImageWriters, PnmHoldsEachLayoutAsTheNearestType) {
    for (const LayoutCase& item : layoutCases()) {
        SCOPED_TRACE(item.name);
        std::string error;
        const auto image = tool::test::readPnm(write(OutputFormat::Pnm, item), error);
        ASSERT_TRUE(image) << error;
        EXPECT_EQ(image->kind, item.pnmKind);
        EXPECT_EQ(image->maxValue, item.pnmMaxValue);
        EXPECT_EQ(image->width, item.width);
        EXPECT_EQ(image->height, 2u);
        const uint32_t channels = item.pnmKind == '6' ? 3 : 1;
        for (uint32_t y = 0; y < 2; ++y) {
            for (uint32_t x = 0; x < item.width; ++x) {
                for (uint32_t c = 0; c < channels; ++c) {
                    EXPECT_EQ(image->sample(x, y, c), item.pnmSamples[x][c])
                        << "pixel " << x << " row " << y;
                }
            }
        }
    }
}

TEST_F(ImageWriters, RowsLandTopDownInOrder) {
    for (const OutputFormat format : {OutputFormat::Png, OutputFormat::Pnm}) {
        const std::string path = (directory_.path() / "rows").string();
        OutputFile output(path);
        std::string error;
        auto writer =
            makeImageWriter(format, output.open(error), {PixelLayout::Gray8, 2, 3, 0}, error);
        ASSERT_NE(writer, nullptr) << error;
        for (const std::vector<uint8_t>& row :
             {std::vector<uint8_t>{10, 11, 0, 0}, {20, 21, 0, 0}, {30, 31, 0, 0}}) {
            ASSERT_TRUE(writer->writeRow(row)) << writer->error();
        }
        ASSERT_TRUE(writer->finish()) << writer->error();
        ASSERT_TRUE(output.close(error)) << error;
        std::vector<uint32_t> secondColumn;
        if (format == OutputFormat::Png) {
            const auto image = tool::test::readPng(path, error);
            ASSERT_TRUE(image) << error;
            for (uint32_t y = 0; y < 3; ++y) secondColumn.push_back(image->sample(1, y));
        } else {
            const auto image = tool::test::readPnm(path, error);
            ASSERT_TRUE(image) << error;
            for (uint32_t y = 0; y < 3; ++y) secondColumn.push_back(image->sample(1, y));
        }
        EXPECT_EQ(secondColumn, (std::vector<uint32_t>{11, 21, 31}));
    }
}

TEST_F(ImageWriters, RefuseShortRowsExtraRowsAndMissingRows) {
    for (const OutputFormat format : {OutputFormat::Png, OutputFormat::Pnm}) {
        OutputFile output((directory_.path() / "refused").string());
        std::string error;
        auto writer =
            makeImageWriter(format, output.open(error), {PixelLayout::Color24, 4, 2, 0}, error);
        ASSERT_NE(writer, nullptr) << error;
        const std::vector<uint8_t> row(12, 0x80);
        EXPECT_FALSE(writer->writeRow(std::span(row).first(11)));
        EXPECT_EQ(writer->error(), "a row of 11 bytes is shorter than the 12 bytes of 4 pixels");
        EXPECT_TRUE(writer->writeRow(row));
        EXPECT_FALSE(writer->finish());
        EXPECT_EQ(writer->error(), "only 1 of 2 rows were written");
        EXPECT_TRUE(writer->writeRow(row));
        EXPECT_FALSE(writer->writeRow(row));
        EXPECT_EQ(writer->error(), "more rows than the image's 2");
    }
}

TEST_F(ImageWriters, RefuseAnEmptyPicture) {
    OutputFile output((directory_.path() / "empty").string());
    std::string error;
    EXPECT_EQ(makeImageWriter(OutputFormat::Png, output.open(error), {PixelLayout::Gray8, 0, 5, 0},
                              error),
              nullptr);
    EXPECT_EQ(error, "an image of 0 x 5 pixels has nothing to write");
}

TEST(OutputFiles, AFullDeviceIsReportedWhenTheFileIsClosed) {
    OutputFile output("/dev/full");
    std::string error;
    std::FILE* file = output.open(error);
    ASSERT_NE(file, nullptr) << error;
    auto writer = makeImageWriter(OutputFormat::Pnm, file, {PixelLayout::Gray8, 4, 1, 0}, error);
    ASSERT_NE(writer, nullptr) << error;
    const std::vector<uint8_t> row(4, 1);
    writer->writeRow(row);
    const bool finished = writer->finish() && output.close(error);
    EXPECT_FALSE(finished);
}

TEST(OutputFiles, AnUnwritablePathIsReportedWithItsReason) {
    OutputFile output("/nonexistent-directory/page.png");
    std::string error;
    EXPECT_EQ(output.open(error), nullptr);
    EXPECT_EQ(error, "cannot write \"/nonexistent-directory/page.png\": No such file or directory");
}

TEST(OutputFiles, ADiscardedFileIsRemoved) {
    vexscan::test::TemporaryDirectory directory;
    const auto path = directory.path() / "half.png";
    OutputFile output(path.string());
    std::string error;
    ASSERT_NE(output.open(error), nullptr) << error;
    output.discard();
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(OutputFormats, ComeFromTheFileNameOrTheirName) {
    EXPECT_EQ(formatFromFileName("a.png"), OutputFormat::Png);
    EXPECT_EQ(formatFromFileName("dir.x/A.PNG"), OutputFormat::Png);
    for (const char* name : {"a.pnm", "a.pbm", "a.pgm", "a.ppm", "a.PPM"}) {
        EXPECT_EQ(formatFromFileName(name), OutputFormat::Pnm) << name;
    }
    for (const char* name : {"a.tif", "png", "dir.png/a", "a."}) {
        EXPECT_FALSE(formatFromFileName(name)) << name;
    }
    EXPECT_EQ(formatFromName("PNG"), OutputFormat::Png);
    EXPECT_EQ(formatFromName("pnm"), OutputFormat::Pnm);
    EXPECT_FALSE(formatFromName("ppm"));
}

}  // namespace
}  // namespace vexscan::tool
