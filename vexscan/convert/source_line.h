// The device line handed to a line converter.
#pragma once

#include <cstdint>
#include <span>

namespace vexscan {

// One device line as the acquisition loop hands it over. Each span covers the bytes that may be
// read for the line; a converter never reads past them, and treats the pixels it cannot read as
// missing pixels of a short line (they are filled like pad pixels).
struct SourceLine {
    // Pixels of the destination row; for line art, the bytes the device delivered for the line.
    std::int32_t count = 0;
    // The line's first byte on; for the two plane converters, the first colour plane.
    std::span<const std::uint8_t> data;
    // Second and third colour plane; read only by the plane converters.
    std::span<const std::uint8_t> plane2;
    std::span<const std::uint8_t> plane3;
};

}  // namespace vexscan
