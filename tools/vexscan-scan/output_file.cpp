#include "tools/vexscan-scan/output_file.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace vexscan::tool {
namespace {

bool isStandardOutput(const std::string& path) { return path == "-"; }

}  // namespace

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {}

OutputFile::~OutputFile() {
    std::string ignored;
    close(ignored);
}

std::FILE* OutputFile::open(std::string& error) {
    if (file_ != nullptr) {
        return file_;
    }
    file_ = isStandardOutput(path_) ? stdout : std::fopen(path_.c_str(), "wb");
    if (file_ == nullptr) {
        error = "cannot write \"" + path_ + "\": " + std::strerror(errno);
    }
    return file_;
}

bool OutputFile::close(std::string& error) {
    if (file_ == nullptr) {
        return true;
    }
    std::FILE* file = std::exchange(file_, nullptr);
    const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
    const bool closed = isStandardOutput(path_) || std::fclose(file) == 0;
    if (!flushed || !closed) {
        error = "cannot finish writing \"" + path_ + "\": " + std::strerror(errno);
        return false;
    }
    return true;
}

void OutputFile::discard() {
    const bool wasOpen = file_ != nullptr;
    std::string ignored;
    close(ignored);
    if (wasOpen && !isStandardOutput(path_)) {
        std::remove(path_.c_str());
    }
}

}  // namespace vexscan::tool
