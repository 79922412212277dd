// What every output row of an extended scan must hold, worked out from the test chart and the
// output layouts alone: no converter of the library is used here.
#pragma once

#include <cstdint>

#include "sim/model/extended_state.h"
#include "tests/support/byte_assertions.h"

namespace vexscan::test {

struct ExpectedPage {
    int32_t imageType = 2;
    bool eightBit = false;
    int32_t layoutCode = 1;
    bool invert = false;
    uint32_t width = 0;  // the caller's scan width
    // Where the device took the page from: its programmed left, width, top, height, mirror and
    // threshold, as the simulated device received them.
    sim::ExtendedScanParameters device;
};

// The bytes of the scan width's pixels in output row `line` (the rounding to 4 bytes excluded).
// A pixel beyond what the device sent repeats the last one it sent (line art: the last byte);
// a line beyond the device's height is white paper.
Bytes expectedRow(const ExpectedPage& page, uint32_t line);

// Bytes of the scan width's pixels in the caller's packing.
uint32_t expectedRowBytes(const ExpectedPage& page);

}  // namespace vexscan::test
