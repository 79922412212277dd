#include "kiva4cpl/calibration_file.h"

#include <array>

#include "kiva4cpl/module_state.h"
#include "kiva4cpl/resource_ids.h"
#include "kiva4cpl/win32_handles.h"

namespace kiva4cpl {

namespace {

void createFolderIfMissing(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        CreateDirectoryA(path.c_str(), nullptr);
    }
}

}  // namespace

std::optional<CalibrationPaths> prepareCalibrationFolder(const char* windowsDirectory) {
    auto paths = calibrationPaths(windowsDirectory);
    if (!paths) return std::nullopt;
    createFolderIfMissing(paths->twainFolder);
    createFolderIfMissing(paths->calibrationFolder);
    return paths;
}

bool writeWholeBlock(HANDLE file, const std::uint8_t* bytes, DWORD size) {
    DWORD written = 0;
    return WriteFile(file, bytes, size, &written, nullptr) && written == size;
}

int writeCalibrationFile(double gamma) {
    std::array<char, MAX_PATH + 1> windowsDirectory{};
    const UINT length = GetWindowsDirectoryA(windowsDirectory.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return calibrationFileNotCreated;
    return writeCalibrationFileIn(windowsDirectory.data(), gamma);
}

int writeCalibrationFileIn(const char* windowsDirectory, double gamma,
                           CalibrationBlockWriter writeBlock) {
    const auto paths = prepareCalibrationFolder(windowsDirectory);
    if (!paths) return calibrationFileNotCreated;

    std::array<char, 33> name{};
    LoadStringA(moduleState().module, IDS_CALIBRATION_NAME, name.data(),
                static_cast<int>(name.size()));
    const CalibrationFileImage image = buildCalibrationFile(gamma, name.data());

    FileHandle file(CreateFileA(paths->filePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return calibrationFileNotCreated;

    for (const CalibrationBlock& block : calibrationFileBlocks) {
        if (!writeBlock(file.get(), image.data() + block.offset, static_cast<DWORD>(block.size))) {
            file.close();
            DeleteFileA(paths->filePath.c_str());
            return calibrationFileWriteFailed;
        }
    }
    return calibrationFileWritten;
}

}  // namespace kiva4cpl
