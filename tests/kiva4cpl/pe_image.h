// A reader for the export and import tables of a PE file (a Windows DLL), so the tests can check
// a built module's exported names, ordinals and imported DLLs from the file itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kiva4cpl::test {

struct PeExport {
    std::uint32_t ordinal;
    std::string name;
};

struct PeImage {
    std::uint16_t machine = 0;  // 0x14C for i386, 0x8664 for x86-64
    std::vector<PeExport> exports;
    std::vector<std::string> importedDlls;
};

// Empty with the reason in `error` when the file cannot be read or is not a well-formed PE file.
std::optional<PeImage> readPeImage(const std::string& path, std::string& error);

}  // namespace kiva4cpl::test
