// The lines a simulated extended device sends for the block it has been programmed with (FS W):
// the test chart seen through the programmed area, resolution, colour code and depth, packed in
// the family's data layouts.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/model/extended_state.h"

namespace vexscan::sim {

// Bytes of one line on the wire: line art 8 pixels a byte; 12-bit colour 3 bytes a pixel pair;
// 8-bit samples one byte each; 12- and 16-bit samples two bytes each (low byte first); colour
// three samples a pixel. Computed in 64 bits, so that no programmed width can wrap it.
uint64_t extendedLineBytes(const ExtendedScanParameters& parameters);

// Appends line `line` of the page (0 is the programmed top) to `out`. Pixel i of the line lies at
// (left + i, top + line) on the chart, or at (left + width - 1 - i, top + line) when mirrored.
void appendExtendedLine(const ExtendedScanParameters& parameters, uint32_t line,
                        std::vector<uint8_t>& out);

}  // namespace vexscan::sim
