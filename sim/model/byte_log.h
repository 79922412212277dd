// Every call the driver receives, in order, with the bytes that crossed: what exact-sequence tests
// compare against, and what VEXSCAN_SIM_LOG mirrors to a file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace vexscan::sim {

enum class DriverCall { GetOpsys, Init, Exit, Open, Close, IsReady, Write, Read };

struct LogEntry {
    DriverCall call;
    int32_t result = 0;
    std::vector<uint8_t> bytes;  // written by the library, or handed to it by a read
    std::string detail;          // DDInit's arguments
};

class ByteLog {
public:
    void record(LogEntry entry);
    void clear() { entries_.clear(); }
    const std::vector<LogEntry>& entries() const { return entries_; }

    // The bytes of every write (or every read) in order, as one stream.
    std::vector<uint8_t> writtenBytes() const;
    std::vector<uint8_t> readBytes() const;

    // Appends each entry as a text line to this file from now on.
    void mirrorTo(const std::string& path);

    static std::string format(const LogEntry& entry);

private:
    std::vector<LogEntry> entries_;
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> mirror_;
};

const char* callName(DriverCall call);

}  // namespace vexscan::sim
