// The fixed tables both command families translate through: gamma value to device gamma code,
// halftone row to device halftone code (and how many rows a device level supports), product name
// to the model code name the caller reads from the ScanParamBlock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "vexscan/api/scan_param_block.h"

namespace vexscan {

class ScannerDevice;

// Written into modelCode by the families when the product name cannot be read.
inline constexpr char kDefaultModelCode[] = "TALVO  ";

// Rows of the halftone table; halftoneIndex selects one of them.
inline constexpr int32_t kHalftoneRowCount = 10;

// Product names are compared over exactly this many characters, trailing spaces included.
inline constexpr std::size_t kProductNameLength = 16;

// The device gamma code of a gamma value (times 100); 0x02 for a value the table does not hold.
uint8_t gammaCodeFor(int16_t gammaTimes100);

// The colour code that scans grey from one channel (dropoutChannel 1, 2, 3), 0 for any other.
uint8_t dropoutColorCode(int32_t dropoutChannel);

// The device halftone code of row halftoneIndex, or nothing for an index outside the table.
std::optional<uint8_t> halftoneCodeFor(int32_t halftoneIndex);

// How many leading rows of the halftone table the device's level supports, 0 to 10, from the
// level digit in levelCode[1].
int32_t countHalftones(const ScanParamBlock& block);

// Asks the device for its product name and, for a known name, copies the model code with its NUL
// into destination (the 8-byte modelCode field). An unknown name leaves destination unchanged.
// False only when the name cannot be read; the caller then writes kDefaultModelCode.
bool modelCodeFromName(ScannerDevice& device, char* destination);

}  // namespace vexscan
