// The nine output pixel layouts the library can deliver, the scan modes that ask for them, and
// the size of one delivered row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vexscan::tool {

enum class PixelLayout {
    LineArt,
    Gray4,
    Gray8,
    Gray16,
    Color8,
    Color256,
    Color12,
    Color24,
    Color48
};

struct ScanMode {
    std::string_view name;  // as given to --mode
    int32_t imageType;      // the ScanParamBlock's imageType
    PixelLayout layout;
    std::string_view description;
};

std::span<const ScanMode> scanModes();

// Case-insensitive: "Gray8" and "gray8" are the same mode.
std::optional<ScanMode> findScanMode(std::string_view name);

// Bytes of one row of `width` pixels with no padding behind it: what a writer reads of each row
// (the library pads most rows to a multiple of 4 bytes, which bytesPerLine accounts for).
std::size_t packedRowBytes(PixelLayout layout, uint32_t width);

}  // namespace vexscan::tool
