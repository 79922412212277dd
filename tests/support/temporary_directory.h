// A folder of the test's own, removed with everything in it when the test ends; and the library
// pointed at a Windows directory of the test's choosing for as long as the object lives.
#pragma once

#include <filesystem>
#include <string>

namespace vexscan::test {

class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes `text` to the file at `relative`, creating its folders.
    void writeFile(const std::filesystem::path& relative, const std::string& text) const;

private:
    std::filesystem::path path_;
};

class WindowsDirectoryOverride {
public:
    explicit WindowsDirectoryOverride(const std::string& directory);
    ~WindowsDirectoryOverride();
    WindowsDirectoryOverride(const WindowsDirectoryOverride&) = delete;
    WindowsDirectoryOverride& operator=(const WindowsDirectoryOverride&) = delete;
};

}  // namespace vexscan::test
