// Turning rows as the library delivers them (top-down, channels in red, green, blue order) into
// rows as image files store them. Each function reads whole pixels of `source` and writes whole
// pixels of `target`, and never more of either than the spans hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vexscan::tool {

struct Rgb {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

// An 8-colour pixel is a 3-bit value: bit 0 red, bit 1 green, bit 2 blue, each fully on or off.
inline constexpr std::size_t kColor8Entries = 8;
Rgb color8Entry(uint8_t index);

// A 256-colour pixel indexes a 6x6x6 cube: index = 36 * blue + 6 * green + red, levels 0 to 5.
inline constexpr std::size_t kColor256Entries = 216;
Rgb color256Entry(uint8_t index);

// Line art: the library sets a bit for a dark dot; formats that store 0 as black want the
// complement.
void invertBits(std::span<const uint8_t> source, std::span<uint8_t> target);

// 16-bit samples arrive low byte first; image files want the high byte first.
void swapSampleBytes(std::span<const uint8_t> source, std::span<uint8_t> target);

// 12-bit colour (2 bytes a pixel: blue in bits 3..0 of the first byte, green in bits 7..4 and red
// in bits 3..0 of the second) to 8-bit RGB, each 4-bit level times 17.
void expandColor12(std::span<const uint8_t> source, uint32_t width, std::span<uint8_t> target);

// Palette rows (two 8-colour pixels a byte, first in the high nibble; one 256-colour index a
// byte) to 8-bit RGB, for formats without a palette.
void expandColor8(std::span<const uint8_t> source, uint32_t width, std::span<uint8_t> target);
void expandColor256(std::span<const uint8_t> source, uint32_t width, std::span<uint8_t> target);

}  // namespace vexscan::tool
