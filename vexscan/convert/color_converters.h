// Interleaved colour converters and the plain block-line copy.
//
// The pad rule, the bounds and the fill of a row with no converted pixel are those described in
// gray_converters.h. `swapOrder` non-zero reverses the three channels inside each pixel. None of
// these converters handles a mirror flag: a mirrored colour line is padded like any other.
#pragma once

#include <cstdint>
#include <span>

#include "vexscan/convert/source_line.h"

namespace vexscan {

// 12-bit colour: each pair of pixels arrives in 3 bytes, byte k carrying channel k, the first pixel
// in the high nibbles. Each pixel becomes 2 bytes: channel 2 in the low nibble of byte 0 (its high
// nibble 0), channel 1 in the high and channel 0 in the low nibble of byte 1.
void convertColor12(const SourceLine& line, std::span<std::uint8_t> dst, std::int16_t padCount);

// 24-bit colour, 3 bytes a pixel, copied or, with `swapOrder`, byte-reversed.
void convertColor24(const SourceLine& line, std::span<std::uint8_t> dst, int swapOrder,
                    std::int16_t padCount);

// 48-bit colour, three 2-byte samples a pixel. `swapOrder` reverses the samples, keeping each
// sample's two bytes in order. With `eightBit` non-zero each sample is reduced to its second byte,
// giving 3-byte pixels.
void convertColor48(const SourceLine& line, std::span<std::uint8_t> dst, int swapOrder,
                    std::int16_t padCount, std::int32_t eightBit);

// 24-bit colour lines that the device already delivers in the caller's channel order and
// mirroring: the bytes of `line.data` (the device line) are copied as they are, up to the row's
// end. `count` is not read and nothing is filled.
void copyBlockLine(const SourceLine& line, std::span<std::uint8_t> dst);

}  // namespace vexscan
