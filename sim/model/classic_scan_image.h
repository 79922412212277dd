// The lines a simulated classic device sends for the scan it has been programmed with: the test
// chart seen through the programmed area, resolution, colour code and depth, packed as the
// family's data layouts are.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/model/classic_state.h"

namespace vexscan::sim {

struct ClassicLineLayout {
    uint32_t width = 0;          // pixels of a device line (the programmed area width)
    uint32_t height = 0;         // lines of the page
    uint32_t lineBytes = 0;      // bytes of one device line
    uint32_t linesPerRow = 1;    // device lines per image line: 3 when the planes come apart
};

ClassicLineLayout classicLineLayout(const ProgrammedScan& scan);

// Device line `index` of the page (for plane layouts, line 3y is red, 3y + 1 green and 3y + 2
// blue of image line y).
std::vector<uint8_t> classicDeviceLine(const ProgrammedScan& scan, uint32_t index);

}  // namespace vexscan::sim
