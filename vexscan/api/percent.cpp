#include "vexscan/api/percent.h"

#include <cassert>

namespace vexscan {

// The products wrap in 32 bits as they do on the device side; they are formed unsigned so the
// wrap is defined behaviour.
static int32_t wrappingProduct(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

int32_t percentOf(int32_t a, int32_t b) {
    assert(b != 0);
    return wrappingProduct(a, 100) / b;
}

int32_t scaleByPercent(int32_t a, int32_t b) { return wrappingProduct(a, b) / 100; }

}  // namespace vexscan
