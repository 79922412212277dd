// Reads the export and import tables of a Windows PE file (32- or 64-bit), for tests that check what a
// DLL shows to the loader. Every offset read from the file is checked against its size.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vexscan::test {

struct PeExport {
    uint32_t ordinal;
    std::string name;  // empty for an export by ordinal only
};

struct PeImage {
    uint16_t machine = 0;                 // 0x14C for i386, 0x8664 for x86-64
    std::vector<PeExport> exports;        // in name-table order, then unnamed ones
    std::vector<std::string> importedDlls;
};

// Nothing when the file cannot be read or is not a well-formed PE image.
std::optional<PeImage> readPeImage(const std::string& path, std::string& error);

}  // namespace vexscan::test
