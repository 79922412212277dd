// What a simulated classic-family device remembers between commands: the scan it has been
// programmed for, its warm-up countdown, and the rest of its running state.
#pragma once

#include <cstdint>

namespace vexscan::sim {

struct ClassicDeviceState {
    // Status polls (ESC f) left that still report the lamp warming up.
    int32_t warmUpPollsLeft = 0;
};

}  // namespace vexscan::sim
