// Unit conversions both families share: 32-bit signed, truncating toward zero.
#pragma once

#include <cstdint>

namespace vexscan {

// a × 100 / b; b is never 0 at any caller.
int32_t percentOf(int32_t a, int32_t b);

// a × b / 100, the product formed in 32 bits.
int32_t scaleByPercent(int32_t a, int32_t b);

}  // namespace vexscan
