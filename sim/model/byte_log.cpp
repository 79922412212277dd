#include "sim/model/byte_log.h"

namespace vexscan::sim {

const char* callName(DriverCall call) {
    switch (call) {
        case DriverCall::GetOpsys: return "GETOPSYS";
        case DriverCall::Init: return "INIT";
        case DriverCall::Exit: return "EXIT";
        case DriverCall::Open: return "OPEN";
        case DriverCall::Close: return "CLOSE";
        case DriverCall::IsReady: return "ISREADY";
        case DriverCall::Write: return "W";
        case DriverCall::Read: return "R";
    }
    return "?";
}

std::string ByteLog::format(const LogEntry& entry) {
    std::string line = callName(entry.call);
    line += " =" + std::to_string(entry.result);
    if (!entry.detail.empty()) {
        line += ' ' + entry.detail;
    }
    static const char kHex[] = "0123456789ABCDEF";
    for (uint8_t byte : entry.bytes) {
        line += ' ';
        line += kHex[byte >> 4];
        line += kHex[byte & 0x0F];
    }
    return line;
}

void ByteLog::record(LogEntry entry) {
    if (mirror_) {
        std::fprintf(mirror_.get(), "%s\n", format(entry).c_str());
        std::fflush(mirror_.get());
    }
    entries_.push_back(std::move(entry));
}

std::vector<uint8_t> ByteLog::writtenBytes() const {
    std::vector<uint8_t> bytes;
    for (const LogEntry& entry : entries_) {
        if (entry.call == DriverCall::Write) bytes.insert(bytes.end(), entry.bytes.begin(), entry.bytes.end());
    }
    return bytes;
}

std::vector<uint8_t> ByteLog::readBytes() const {
    std::vector<uint8_t> bytes;
    for (const LogEntry& entry : entries_) {
        if (entry.call == DriverCall::Read) bytes.insert(bytes.end(), entry.bytes.begin(), entry.bytes.end());
    }
    return bytes;
}

void ByteLog::mirrorTo(const std::string& path) { mirror_.reset(std::fopen(path.c_str(), "a")); }

}  // namespace vexscan::sim
