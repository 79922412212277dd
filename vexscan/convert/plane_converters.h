// The plane converters: colour lines delivered as three planes, `line.data`, `line.plane2` and
// `line.plane3`.
//
// The planes are named A, B and C by `swapOrder`: with 0, A = plane3, B = plane2, C = data; with
// any other value, A = data, B = plane2, C = plane3. A supplies the most significant part of each
// pixel. The pad rule, the bounds and the fill of a row with no converted pixel are those described
// in gray_converters.h; a plane that is shorter than the others limits all three.
#pragma once

#include <cstdint>
#include <span>

#include "vexscan/convert/source_line.h"

namespace vexscan {

// 8 colours: each plane byte holds one bit of 8 pixels, the first in bit 7. A pixel is
// 4 × A + 2 × B + C; two pixels share a destination byte, the first in bits 6..4 and the second in
// bits 2..0. The row receives (count + 1) / 2 bytes, the fill repeating the last byte.
void convertColor8(const SourceLine& line, std::span<std::uint8_t> dst, int swapOrder,
                   std::int16_t padCount);

// 256 colours: each plane byte holds a nibble of 2 pixels, the first in bits 7..4; a channel's
// level is the top three bits of its nibble. Each pixel becomes
// colorReductionMap[64 × A + 8 × B + C].
void convertColor256(const SourceLine& line, std::span<std::uint8_t> dst, int swapOrder,
                     std::int16_t padCount);

}  // namespace vexscan
