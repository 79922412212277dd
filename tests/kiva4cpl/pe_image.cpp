#include "pe_image.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace kiva4cpl::test {

namespace {

// Every read is checked against the file's size: a damaged file yields an error, not a crash.
class Bytes {
public:
    explicit Bytes(std::vector<std::uint8_t> data) : data_(std::move(data)) {}

    bool has(std::size_t offset, std::size_t size) const {
        return offset <= data_.size() && size <= data_.size() - offset;
    }
    std::uint16_t word(std::size_t offset) const {
        return has(offset, 2) ? static_cast<std::uint16_t>(data_[offset] | data_[offset + 1] << 8)
                              : 0;
    }
    std::uint32_t dword(std::size_t offset) const {
        return has(offset, 4) ? static_cast<std::uint32_t>(word(offset)) |
                                    static_cast<std::uint32_t>(word(offset + 2)) << 16
                              : 0;
    }
    std::optional<std::string> text(std::size_t offset) const {
        std::string result;
        for (std::size_t at = offset; at < data_.size(); ++at) {
            if (data_[at] == 0) return result;
            result.push_back(static_cast<char>(data_[at]));
        }
        return std::nullopt;
    }

private:
    std::vector<std::uint8_t> data_;
};

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t virtualSize;
    std::uint32_t rawOffset;
    std::uint32_t rawSize;
};

std::optional<std::size_t> fileOffset(const std::vector<Section>& sections, std::uint32_t rva) {
    for (const Section& section : sections) {
        const std::uint32_t extent = std::max(section.virtualSize, section.rawSize);
        if (rva >= section.virtualAddress && rva - section.virtualAddress < extent &&
            rva - section.virtualAddress < section.rawSize) {
            return section.rawOffset + (rva - section.virtualAddress);
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<PeImage> readPeImage(const std::string& path, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    const Bytes bytes(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), {}));

    const std::uint32_t peOffset = bytes.dword(0x3C);
    if (bytes.word(0) != 0x5A4D || bytes.dword(peOffset) != 0x00004550) {
        error = path + " is not a PE file";
        return std::nullopt;
    }
    PeImage image;
    const std::size_t coff = peOffset + 4;
    image.machine = bytes.word(coff);
    const std::uint16_t sectionCount = bytes.word(coff + 2);
    const std::uint16_t optionalSize = bytes.word(coff + 16);
    const std::size_t optional = coff + 20;
    const std::uint16_t magic = bytes.word(optional);
    std::size_t directories = 0;
    if (magic == 0x10B) {
        directories = optional + 96;
    } else if (magic == 0x20B) {
        directories = optional + 112;
    } else {
        error = "unknown optional header";
        return std::nullopt;
    }

    std::vector<Section> sections;
    const std::size_t sectionTable = optional + optionalSize;
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t at = sectionTable + 40 * i;
        if (!bytes.has(at, 40)) {
            error = "section table cut short";
            return std::nullopt;
        }
        sections.push_back({bytes.dword(at + 12), bytes.dword(at + 8), bytes.dword(at + 20),
                            bytes.dword(at + 16)});
    }

    const std::uint32_t exportRva = bytes.dword(directories);
    if (exportRva != 0) {
        const auto exportTable = fileOffset(sections, exportRva);
        if (!exportTable) {
            error = "export table outside the file";
            return std::nullopt;
        }
        const std::uint32_t base = bytes.dword(*exportTable + 16);
        const std::uint32_t nameCount = bytes.dword(*exportTable + 24);
        const auto names = fileOffset(sections, bytes.dword(*exportTable + 32));
        const auto ordinals = fileOffset(sections, bytes.dword(*exportTable + 36));
        if (nameCount > 0 && (!names || !ordinals)) {
            error = "export name tables outside the file";
            return std::nullopt;
        }
        for (std::uint32_t i = 0; i < nameCount; ++i) {
            const auto nameAt = fileOffset(sections, bytes.dword(*names + 4 * i));
            const auto name = nameAt ? bytes.text(*nameAt) : std::nullopt;
            if (!name || !bytes.has(*ordinals + 2 * i, 2)) {
                error = "export name outside the file";
                return std::nullopt;
            }
            image.exports.push_back({base + bytes.word(*ordinals + 2 * i), *name});
        }
    }

    const std::uint32_t importRva = bytes.dword(directories + 8);
    if (importRva != 0) {
        auto descriptor = fileOffset(sections, importRva);
        while (descriptor && bytes.has(*descriptor, 20) && bytes.dword(*descriptor + 12) != 0) {
            const auto nameAt = fileOffset(sections, bytes.dword(*descriptor + 12));
            const auto name = nameAt ? bytes.text(*nameAt) : std::nullopt;
            if (!name) {
                error = "import name outside the file";
                return std::nullopt;
            }
            image.importedDlls.push_back(*name);
            *descriptor += 20;
        }
    }
    return image;
}

}  // namespace kiva4cpl::test
