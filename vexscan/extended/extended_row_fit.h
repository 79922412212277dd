// How one device line of an extended scan lands in the caller's row. The device may send more
// pixels than asked for (widths it aligns to 8 pixels) or fewer (an area that reaches past the
// maximum area): either way the row receives exactly the scan width, taken from the device line
// as far as it reaches and completed by repeating its last pixel.
#pragma once

#include <cstdint>

#include "vexscan/extended/extended_params.h"

namespace vexscan {

struct ExtendedRowFit {
    int32_t count;          // the converter's count: the scan width; for line art, source bytes
    int16_t padCount;       // trailing pixels that repeat the last pixel taken from the device
    uint32_t devicePixels;  // pixels taken from the device line
    uint32_t rowBytes;      // bytes of the scan width in the caller's packing
};

// `deviceWidth` is the width the device was programmed with. The scan width is at most
// kExtendedMaximumWidth, so the pad count always fits its 16 bits.
ExtendedRowFit fitDeviceLineToRow(const ExtendedImageFormat& format, uint32_t scanWidth,
                                  uint32_t deviceWidth);

}  // namespace vexscan
