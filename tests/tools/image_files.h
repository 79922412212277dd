// Reading back what the scan tool wrote: PNG through libpng with no transformation (so depth,
// colour type and palette are those of the file), PNM by its header.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vexscan::tool::test {

struct PngImage {
    uint32_t width = 0;
    uint32_t height = 0;
    int bitDepth = 0;
    int colorType = 0;                       // PNG_COLOR_TYPE_*
    std::vector<uint8_t> palette;            // red, green, blue for each entry
    std::vector<std::vector<uint8_t>> rows;  // as stored, unpacked by nothing
    uint32_t pixelsPerMetre = 0;

    // Sample `channel` of pixel x in row y, whatever the depth (palette images: the index).
    uint32_t sample(uint32_t x, uint32_t y, uint32_t channel = 0) const;
    uint32_t channels() const;
};

// Nothing, and the reason in `error`, when the file is not a readable PNG.
std::optional<PngImage> readPng(const std::string& path, std::string& error);

struct PnmImage {
    char kind = 0;  // '4', '5' or '6'
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t maxValue = 0;      // 1 for P4
    std::vector<uint8_t> data;  // the raster as stored

    uint32_t sample(uint32_t x, uint32_t y, uint32_t channel = 0) const;
};

std::optional<PnmImage> readPnm(const std::string& path, std::string& error);

std::vector<uint8_t> readFileBytes(const std::string& path);

}  // namespace vexscan::tool::test
