#include "tests/support/temporary_directory.h"

#include <atomic>
#include <chrono>
#include <fstream>

#include "vexscan/platform/platform.h"

namespace vexscan::test {

TemporaryDirectory::TemporaryDirectory() {
    static std::atomic<unsigned> sequence{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("vexscan-test-" + std::to_string(stamp) + "-" + std::to_string(sequence++));
    std::filesystem::create_directories(path_);
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TemporaryDirectory::writeFile(const std::filesystem::path& relative, const std::string& text) const {
    const std::filesystem::path file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

WindowsDirectoryOverride::WindowsDirectoryOverride(const std::string& directory) {
    platform::setWindowsDirectoryForTesting(directory);
}

WindowsDirectoryOverride::~WindowsDirectoryOverride() { platform::setWindowsDirectoryForTesting({}); }

}  // namespace vexscan::test
