#include "kiva4cpl/calibration_file_image.h"

#include <algorithm>

#include "kiva4cpl/calibration_math.h"

namespace kiva4cpl {

namespace {

constexpr std::string_view headerText = "SCREEN";
constexpr std::array<std::uint16_t, 9> colourMatrix = {100, 0, 0, 0, 100, 0, 0, 0, 100};

}  // namespace

CalibrationFileImage buildCalibrationFile(double gamma, std::string_view name) {
    CalibrationFileImage image{};
    const auto& header = calibrationFileBlocks[0];
    std::copy(headerText.begin(), headerText.end(), image.begin() + header.offset);

    const auto& nameBlock = calibrationFileBlocks[1];
    const std::size_t nameLength = std::min(name.size(), nameBlock.size - 1);
    std::copy_n(name.begin(), nameLength, image.begin() + nameBlock.offset);

    const ToneTable table = buildToneTable(gamma);
    for (std::size_t copy = 2; copy <= 4; ++copy) {
        std::copy(table.begin(), table.end(), image.begin() + calibrationFileBlocks[copy].offset);
    }

    std::size_t at = calibrationFileBlocks[5].offset;
    for (const std::uint16_t value : colourMatrix) {
        image[at++] = static_cast<std::uint8_t>(value & 0xFF);
        image[at++] = static_cast<std::uint8_t>(value >> 8);
    }
    return image;
}

std::optional<CalibrationPaths> calibrationPaths(std::string_view windowsDirectory) {
    CalibrationPaths paths;
    paths.twainFolder = std::string(windowsDirectory) + "\\TWAIN";
    paths.calibrationFolder = paths.twainFolder + "\\CALIBRAT";
    paths.filePath = paths.calibrationFolder + "\\SCREEN.CAL";
    if (paths.filePath.size() + 1 > calibrationPathBufferSize) return std::nullopt;
    return paths;
}

}  // namespace kiva4cpl
