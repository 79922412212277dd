#include "tests/support/pe_image.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

namespace vexscan::test {
namespace {

class Reader {
public:
    explicit Reader(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    bool has(uint64_t offset, uint64_t size) const { return offset + size <= bytes_.size(); }
    uint16_t u16(uint64_t offset) const {
        return has(offset, 2) ? static_cast<uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8) : 0;
    }
    uint32_t u32(uint64_t offset) const {
        return has(offset, 4) ? static_cast<uint32_t>(u16(offset) | static_cast<uint32_t>(u16(offset + 2)) << 16) : 0;
    }
    std::optional<std::string> string(uint64_t offset) const {
        std::string text;
        for (uint64_t at = offset; at < bytes_.size(); ++at) {
            if (bytes_[at] == 0) return text;
            text += static_cast<char>(bytes_[at]);
        }
        return std::nullopt;
    }

private:
    std::vector<uint8_t> bytes_;
};

struct Section {
    uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

}  // namespace

std::optional<PeImage> readPeImage(const std::string& path, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    const Reader pe(std::vector<uint8_t>{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()});

    const uint32_t header = pe.u32(0x3C);
    if (pe.u16(0) != 0x5A4D || !pe.has(header, 24) || pe.u32(header) != 0x00004550) {
        error = "not a PE file";
        return std::nullopt;
    }
    const uint16_t machine = pe.u16(header + 4);
    const uint16_t sectionCount = pe.u16(header + 6);
    const uint16_t optionalSize = pe.u16(header + 20);
    const uint64_t optional = header + 24;
    // The data directories sit 16 bytes further on in a 64-bit image's optional header.
    const uint16_t magic = pe.u16(optional);
    if ((magic != 0x10B && magic != 0x20B) || optionalSize < (magic == 0x10B ? 112 : 128)) {
        error = "no PE32 or PE32+ optional header";
        return std::nullopt;
    }
    const uint64_t directories = optional + (magic == 0x10B ? 96 : 112);
    const uint32_t exportRva = pe.u32(directories);
    const uint32_t importRva = pe.u32(directories + 8);

    std::vector<Section> sections;
    for (uint16_t i = 0; i < sectionCount; ++i) {
        const uint64_t at = optional + optionalSize + uint64_t{40} * i;
        if (!pe.has(at, 40)) {
            error = "section table cut short";
            return std::nullopt;
        }
        sections.push_back({pe.u32(at + 12), pe.u32(at + 8), pe.u32(at + 20), pe.u32(at + 16)});
    }
    const auto offsetOf = [&](uint32_t rva) -> std::optional<uint64_t> {
        for (const Section& s : sections) {
            const uint32_t size = std::max(s.virtualSize, s.rawSize);
            if (rva >= s.virtualAddress && rva < s.virtualAddress + size) {
                const uint64_t offset = uint64_t{s.rawOffset} + (rva - s.virtualAddress);
                if (pe.has(offset, 1)) return offset;
            }
        }
        return std::nullopt;
    };

    PeImage image;
    image.machine = machine;
    if (exportRva != 0) {
        const auto directory = offsetOf(exportRva);
        if (!directory || !pe.has(*directory, 40)) {
            error = "export directory outside the file";
            return std::nullopt;
        }
        const uint32_t base = pe.u32(*directory + 16);
        const uint32_t functionCount = pe.u32(*directory + 20);
        const uint32_t nameCount = pe.u32(*directory + 24);
        const auto names = offsetOf(pe.u32(*directory + 32));
        const auto ordinals = offsetOf(pe.u32(*directory + 36));
        std::set<uint32_t> named;
        for (uint32_t i = 0; i < nameCount; ++i) {
            if (!names || !ordinals || !pe.has(*names + 4u * i, 4) || !pe.has(*ordinals + 2u * i, 2)) {
                error = "export names outside the file";
                return std::nullopt;
            }
            const auto nameOffset = offsetOf(pe.u32(*names + 4u * i));
            const auto name = nameOffset ? pe.string(*nameOffset) : std::nullopt;
            if (!name) {
                error = "export name outside the file";
                return std::nullopt;
            }
            const uint32_t index = pe.u16(*ordinals + 2u * i);
            named.insert(index);
            image.exports.push_back({base + index, *name});
        }
        for (uint32_t index = 0; index < functionCount; ++index) {
            if (named.count(index) == 0) image.exports.push_back({base + index, {}});
        }
    }
    if (importRva != 0) {
        const auto directory = offsetOf(importRva);
        for (uint64_t at = directory.value_or(0); directory && pe.has(at, 20); at += 20) {
            const uint32_t nameRva = pe.u32(at + 12);
            if (nameRva == 0) break;
            const auto nameOffset = offsetOf(nameRva);
            const auto name = nameOffset ? pe.string(*nameOffset) : std::nullopt;
            if (!name) {
                error = "import name outside the file";
                return std::nullopt;
            }
            image.importedDlls.push_back(*name);
        }
    }
    return image;
}

}  // namespace vexscan::test
