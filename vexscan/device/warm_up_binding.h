// The data source's warm-up indication: PELLAR4.DS, loaded by each device object for its life, and
// its DSShowWarmUp entry point.
#pragma once

#include <cstdint>

#include "vexscan/platform/callconv.h"
#include "vexscan/platform/platform.h"

namespace vexscan {

class WarmUpBinding {
public:
    // Loads <Windows directory>/TWAIN_32/KIVA4/PELLAR4.DS. A data source that is missing, lacks
    // the entry point, or whose path does not fit leaves the binding empty; that never fails.
    WarmUpBinding();

    bool bound() const { return showWarmUp_ != nullptr; }
    // 1 shows the indication, 0 removes it; nothing without a binding.
    void show(int32_t visible) const;

private:
    using ShowWarmUpFunction = void(VEXSCAN_CALL*)(int32_t visible);

    platform::Module module_;
    ShowWarmUpFunction showWarmUp_ = nullptr;
};

}  // namespace vexscan
