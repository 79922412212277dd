// What a classic page must look like: each output row computed from the test chart on its own,
// by the layouts' definitions, without the library's converters.
#pragma once

#include <cstdint>

#include "tests/support/byte_assertions.h"

namespace vexscan::test {

struct ChartRowRequest {
    int32_t imageType = 0;
    bool eightBit = false;
    bool swapOrder = false;  // channels last to first (every layoutCode but 1)
    uint32_t left = 0;       // first pixel on the bed, at the scan resolution
    uint32_t y = 0;          // line on the bed
    uint32_t width = 0;      // pixels of the row
    uint8_t threshold = 0;   // line art, as the device was programmed
};

// The bytes a row must start with: its pixels, rounded up to whole bytes, and for line art and
// 4-bit layouts the device pixels that share the row's last byte.
Bytes expectedChartRow(const ChartRowRequest& request);

}  // namespace vexscan::test
