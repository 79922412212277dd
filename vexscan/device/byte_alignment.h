// Widths in pixels aligned to whole bytes of one-bit pixels (multiples of 8), as both command
// families align scan areas and device lines.
#pragma once

#include <cstdint>

namespace vexscan {

constexpr int64_t roundUpTo8(int64_t value) { return (value + 7) & ~int64_t{7}; }
constexpr int64_t roundDownTo8(int64_t value) { return value & ~int64_t{7}; }

}  // namespace vexscan
