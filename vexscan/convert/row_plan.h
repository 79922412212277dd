// What every converter shares: how much of a row it converts, how much it fills, and the fill.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vexscan::detail {

// Units (pixels, or bytes for the packed layouts) of one row: `skip` source units dropped first,
// then `converted` units converted, then fill up to `total`. `total` never passes the row's end and
// `skip` + `converted` never passes the source's.
struct RowPlan {
    std::size_t skip = 0;
    std::size_t converted = 0;
    std::size_t total = 0;
};

inline std::size_t nonNegative(std::int32_t value) {
    return value > 0 ? static_cast<std::size_t>(value) : 0;
}

// Pad counts are 16-bit; a negative one counts as its magnitude, as the grey converters define it.
inline std::size_t padMagnitude(std::int16_t padCount) {
    const std::int32_t wide = padCount;
    return static_cast<std::size_t>(wide < 0 ? -wide : wide);
}

// A row meant to receive `wanted` units, `toConvert` of them from the source after dropping
// `skip`, cut to the `sourceUnits` the source holds and the `rowUnits` the row holds.
RowPlan planRow(std::size_t wanted, std::size_t toConvert, std::size_t skip,
                std::size_t sourceUnits, std::size_t rowUnits);

// The pad rule for a converter whose units are its pixels: `count` pixels, the last `padCount`
// repeating the one before them; with `skipPad`, the pad pixels are dropped from the front of the
// source instead and `count` pixels are converted.
RowPlan planPixels(std::int32_t count, std::int16_t padCount, bool skipPad,
                   std::size_t sourcePixels, std::size_t rowPixels);

// The same for two pixels packed in a byte: the units are bytes, (count + 1) / 2 of them.
RowPlan planNibbles(std::int32_t count, std::int16_t padCount, std::size_t sourceBytes,
                    std::size_t rowBytes);

// Writes pixels `converted` to `total` - 1 of `row`, each a copy of the last converted pixel, or
// of `blank` when no pixel was converted.
void fillRow(std::uint8_t* row, std::size_t pixelBytes, std::size_t converted, std::size_t total,
             const std::uint8_t* blank);

// memcpy that accepts an empty range from or into an empty buffer.
inline void copyBytes(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes) {
    if (bytes > 0) {
        std::memcpy(to, from, bytes);
    }
}

}  // namespace vexscan::detail
