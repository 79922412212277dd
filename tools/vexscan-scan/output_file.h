// The file one page goes to. Opened when the page's first lines are in hand (or earlier, to
// find an unwritable name before the scanner moves), removed again when the page fails, so no
// half-written picture is left behind.
#pragma once

#include <cstdio>
#include <string>

namespace vexscan::tool {

class OutputFile {
public:
    explicit OutputFile(std::string path);  // "-" is standard output
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Opens the file for writing, truncating it; does nothing when it is already open.
    std::FILE* open(std::string& error);
    // Closes the file; false when the last bytes could not be written.
    bool close(std::string& error);
    // Closes and removes the file, if this object opened it.
    void discard();

    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::FILE* file_ = nullptr;
};

}  // namespace vexscan::tool
