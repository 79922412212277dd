// The bytes of SCREEN.CAL and where the file goes. The Win32 side only creates folders and writes
// these bytes, block by block.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kiva4cpl {

inline constexpr std::size_t calibrationFileSize = 835;

// Results of writing the file.
inline constexpr int calibrationFileWritten = 0;
inline constexpr int calibrationFileNotCreated = -2;
inline constexpr int calibrationFileWriteFailed = -3;

// The file is written in six blocks, each with one write: header, name, three copies of the tone
// table and the colour matrix.
struct CalibrationBlock {
    std::size_t offset;
    std::size_t size;
};
inline constexpr std::array<CalibrationBlock, 6> calibrationFileBlocks = {{
    {0, 16},     // "SCREEN", zero padded
    {16, 33},    // calibration name, zero padded
    {49, 256},   // tone table
    {305, 256},  // tone table, second copy
    {561, 256},  // tone table, third copy
    {817, 18},   // 3 x 3 matrix of 16-bit values, identity scaled by 100
}};

using CalibrationFileImage = std::array<std::uint8_t, calibrationFileSize>;

// The whole file for the given gamma. The name is cut to 32 bytes so its block stays terminated.
CalibrationFileImage buildCalibrationFile(double gamma, std::string_view name);

// The path buffer of the original module holds 132 bytes, terminator included.
inline constexpr std::size_t calibrationPathBufferSize = 132;

struct CalibrationPaths {
    std::string twainFolder;        // <windows>\TWAIN
    std::string calibrationFolder;  // <windows>\TWAIN\CALIBRAT
    std::string filePath;           // <windows>\TWAIN\CALIBRAT\SCREEN.CAL
};

// Empty when the file path would not fit the 132-byte path buffer.
std::optional<CalibrationPaths> calibrationPaths(std::string_view windowsDirectory);

}  // namespace kiva4cpl
