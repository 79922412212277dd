// Stand-in for the package's TWAIN data source: exports DSShowWarmUp and remembers every call, so
// tests can read back when the warm-up indication was shown and removed.
#include <cstdint>
#include <vector>

#include "vexscan/platform/callconv.h"

#if !defined(_WIN32)
#define DS_EXPORT __attribute__((visibility("default")))
#else
#define DS_EXPORT
#endif

namespace {
std::vector<int32_t>& calls() {
    static std::vector<int32_t> recorded;
    return recorded;
}
}  // namespace

extern "C" {

DS_EXPORT void VEXSCAN_CALL DSShowWarmUp(int32_t visible) { calls().push_back(visible); }

// How many times DSShowWarmUp was called since the last clear.
DS_EXPORT int32_t VEXSCAN_CALL DSWarmUpCallCount() { return static_cast<int32_t>(calls().size()); }

// The argument of call `index`, or -1 when there is no such call.
DS_EXPORT int32_t VEXSCAN_CALL DSWarmUpCall(int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= calls().size()) {
        return -1;
    }
    return calls()[static_cast<std::size_t>(index)];
}

DS_EXPORT void VEXSCAN_CALL DSWarmUpClear() { calls().clear(); }

}  // extern "C"
