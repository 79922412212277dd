#include "tools/vexscan-scan/image_layout.h"

#include <array>
#include <cctype>

namespace vexscan::tool {
namespace {

constexpr std::array<ScanMode, 9> kScanModes{{
    {"lineart", 0, PixelLayout::LineArt, "black and white, 1 bit a pixel"},
    {"gray4", 1, PixelLayout::Gray4, "16 grey levels"},
    {"gray8", 2, PixelLayout::Gray8, "256 grey levels"},
    {"gray16", 8, PixelLayout::Gray16, "16-bit grey"},
    {"color8", 3, PixelLayout::Color8, "8 colours"},
    {"color256", 4, PixelLayout::Color256, "256 colours (a 6x6x6 colour cube)"},
    {"color12", 6, PixelLayout::Color12, "4 bits a channel"},
    {"color24", 5, PixelLayout::Color24, "8 bits a channel"},
    {"color48", 7, PixelLayout::Color48, "16 bits a channel"},
}};

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::span<const ScanMode> scanModes() { return kScanModes; }

std::optional<ScanMode> findScanMode(std::string_view name) {
    for (const ScanMode& mode : kScanModes) {
        if (equalIgnoringCase(mode.name, name)) {
            return mode;
        }
    }
    return std::nullopt;
}

std::size_t packedRowBytes(PixelLayout layout, uint32_t width) {
    const std::size_t pixels = width;
    switch (layout) {
        case PixelLayout::LineArt:
            return (pixels + 7) / 8;
        case PixelLayout::Gray4:
        case PixelLayout::Color8:
            return (pixels + 1) / 2;
        case PixelLayout::Gray8:
        case PixelLayout::Color256:
            return pixels;
        case PixelLayout::Gray16:
        case PixelLayout::Color12:
            return pixels * 2;
        case PixelLayout::Color24:
            return pixels * 3;
        case PixelLayout::Color48:
            return pixels * 6;
    }
    return pixels;
}

}  // namespace vexscan::tool
