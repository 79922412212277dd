// What a picture file must hold at each pixel when the scanner saw the test chart: the value of
// each sample as the file stores it (PNG's depth, palette index for palette images), computed
// from the chart alone.
#pragma once

#include <array>
#include <cstdint>

#include "tools/vexscan-scan/image_layout.h"

namespace vexscan::tool::test {

struct ChartSettings {
    uint8_t threshold = 0;  // the line-art threshold the scanner was given (0: none given)
    // Bits a scanner sends in a 16-bit sample: the top ones of the chart's, the rest zero.
    unsigned wideSampleBits = 16;
};

// Chart position (x, y) in pixels at the scan resolution from the bed's top-left corner.
// The samples are red, green, blue for colour files, one sample (or index) otherwise.
std::array<uint32_t, 3> expectedFileSamples(PixelLayout layout, uint32_t x, uint32_t y,
                                            const ChartSettings& settings);

// The same for PNM files (PBM's 1 is black; palette colours and 12-bit colour as 8-bit RGB).
std::array<uint32_t, 3> expectedPnmSamples(PixelLayout layout, uint32_t x, uint32_t y,
                                           const ChartSettings& settings);

}  // namespace vexscan::tool::test
