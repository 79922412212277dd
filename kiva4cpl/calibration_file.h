// Writing SCREEN.CAL into %WINDIR%\TWAIN\CALIBRAT.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "kiva4cpl/calibration_file_image.h"

namespace kiva4cpl {

// Creates <windows>\TWAIN and <windows>\TWAIN\CALIBRAT where they are missing, by full path, so
// the current directory is left as it was. Failures to create surface later, when the file
// cannot be created. Empty when the file path would not fit its buffer; nothing is created then.
std::optional<CalibrationPaths> prepareCalibrationFolder(const char* windowsDirectory);

// Writes one block of the file; true when all of it was written.
using CalibrationBlockWriter = bool (*)(HANDLE file, const std::uint8_t* bytes, DWORD size);
bool writeWholeBlock(HANDLE file, const std::uint8_t* bytes, DWORD size);

// SCREEN.CAL for the given gamma under the Windows directory: 0, -2 when the file cannot be
// created (nothing is written), -3 when a write fails (the partial file is deleted).
int writeCalibrationFile(double gamma);

// The same under any folder standing for the Windows directory, with a replaceable block writer.
int writeCalibrationFileIn(const char* windowsDirectory, double gamma,
                           CalibrationBlockWriter writeBlock = writeWholeBlock);

}  // namespace kiva4cpl
