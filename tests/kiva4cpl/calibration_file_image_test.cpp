#include "kiva4cpl/calibration_file_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "kiva4cpl/calibration_math.h"

namespace kiva4cpl {
namespace {

std::vector<std::uint8_t> bytes(const CalibrationFileImage& image, std::size_t offset,
                                std::size_t size) {
    return {image.begin() + offset, image.begin() + offset + size};
}

TEST(CalibrationFileBlocks, CoverTheFileInOrderWithoutGaps) {
    std::size_t next = 0;
    for (const CalibrationBlock& block : calibrationFileBlocks) {
        EXPECT_EQ(block.offset, next);
        next += block.size;
    }
    EXPECT_EQ(next, calibrationFileSize);
}

TEST(CalibrationFileImage, HasHeaderNameThreeTablesAndMatrix) {
    const CalibrationFileImage image = buildCalibrationFile(gammaForPosition(10), "Screen");

    std::vector<std::uint8_t> header(16, 0);
    std::copy_n("SCREEN", 6, header.begin());
    EXPECT_EQ(bytes(image, 0, 16), header);

    std::vector<std::uint8_t> name(33, 0);
    std::copy_n("Screen", 6, name.begin());
    EXPECT_EQ(bytes(image, 16, 33), name);

    const ToneTable table = buildToneTable(gammaForPosition(10));
    const std::vector<std::uint8_t> expectedTable(table.begin(), table.end());
    EXPECT_EQ(bytes(image, 49, 256), expectedTable);
    EXPECT_EQ(bytes(image, 305, 256), expectedTable);
    EXPECT_EQ(bytes(image, 561, 256), expectedTable);
    EXPECT_EQ(image[49 + 64], 128);

    const std::vector<std::uint8_t> matrix = {0x64, 0, 0, 0, 0, 0, 0, 0,    0x64,
                                              0,    0, 0, 0, 0, 0, 0, 0x64, 0};
    EXPECT_EQ(bytes(image, 817, 18), matrix);
}

TEST(CalibrationFileImage, CutsALongNameSoItsBlockStaysTerminated) {
    const std::string longName(40, 'N');
    const CalibrationFileImage image = buildCalibrationFile(1.0, longName);
    EXPECT_EQ(bytes(image, 16, 32), std::vector<std::uint8_t>(32, 'N'));
    EXPECT_EQ(image[48], 0);
    EXPECT_EQ(image[49], 0) << "the first tone table starts untouched";
}

TEST(CalibrationPaths, AppendsTwainCalibratAndFileName) {
    const auto paths = calibrationPaths("C:\\WINDOWS");
    ASSERT_TRUE(paths);
    EXPECT_EQ(paths->twainFolder, "C:\\WINDOWS\\TWAIN");
    EXPECT_EQ(paths->calibrationFolder, "C:\\WINDOWS\\TWAIN\\CALIBRAT");
    EXPECT_EQ(paths->filePath, "C:\\WINDOWS\\TWAIN\\CALIBRAT\\SCREEN.CAL");
}

TEST(CalibrationPaths, RefusesAWindowsDirectoryWhoseFilePathOverflowsTheBuffer) {
    const std::string suffix = "\\TWAIN\\CALIBRAT\\SCREEN.CAL";
    const std::string fits(calibrationPathBufferSize - 1 - suffix.size(), 'W');
    const auto paths = calibrationPaths(fits);
    ASSERT_TRUE(paths);
    EXPECT_EQ(paths->filePath.size(), calibrationPathBufferSize - 1);
    EXPECT_FALSE(calibrationPaths(fits + "W"));
}

}  // namespace
}  // namespace kiva4cpl
