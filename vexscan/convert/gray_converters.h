// Line art and grey converters.
//
// Every converter writes one destination row and nothing beyond `dst`: what the rules would put
// past its end is dropped, whole pixels at a time. Unless a converter says otherwise it follows the
// pad rule: the row receives `line.count` pixels, the first `count` - `padCount` converted from the
// source in order and the last `padCount` repeating the last converted pixel byte for byte. A pad
// count is 16 bits; a negative one counts as its magnitude. When the source runs out first (its
// spans are shorter than the line needs) the missing pixels are filled in the same way. When no
// pixel is converted at all, the fill repeats the conversion of an all-zero source pixel, so such a
// row is defined and uniform. A negative `count` writes nothing. The source and the destination
// must not overlap.
#pragma once

#include <cstdint>
#include <span>

#include "vexscan/convert/source_line.h"

namespace vexscan {

// Line art, 8 pixels a byte. `count` counts source bytes; the row receives them, complemented when
// `invert` is non-zero, followed by (padCount + 7) / 8 fill bytes (none when padCount <= 0), each a
// copy of the last byte written.
void convertLineArt(const SourceLine& line, std::span<std::uint8_t> dst, std::int16_t padCount,
                    std::uint8_t invert);

// 4-bit grey, two pixels a byte in the device's packing, copied byte for byte; the row receives
// (count + 1) / 2 bytes, the fill repeating the last copied byte.
void convertGray4(const SourceLine& line, std::span<std::uint8_t> dst, std::int16_t padCount);

// 8-bit grey. With `mirror` equal to 1 and a positive `padCount`, the first `padCount` source
// pixels are pad pixels of the mirrored line: they are dropped and the next `count` are copied,
// with no fill.
void convertGray8(const SourceLine& line, std::span<std::uint8_t> dst, std::int16_t padCount,
                  int mirror);

// 8-bit grey through grayReductionMap; no mirror handling.
void convertGrayMapped(const SourceLine& line, std::span<std::uint8_t> dst, std::int16_t padCount);

// 16-bit grey, two bytes a pixel in the device's byte order; `mirror` as for convertGray8, the
// skip being `padCount` pixels.
void convertGray16(const SourceLine& line, std::span<std::uint8_t> dst, std::int16_t padCount,
                   int mirror);

// 16-bit grey kept to 8 bits: the second byte of each two-byte sample, one byte a pixel, with the
// pad and mirror rules of convertGray16 counted in pixels.
void convertGray16To8(const SourceLine& line, std::span<std::uint8_t> dst, std::int16_t padCount,
                      int mirror);

}  // namespace vexscan
