// What a simulated extended-family device remembers between commands: the parameter block it
// has been sent, its warm-up countdown, and the rest of its running state.
#pragma once

#include <cstdint>

namespace vexscan::sim {

struct ExtendedDeviceState {
    // Status polls (FS F) left that still report the lamp warming up.
    int32_t warmUpPollsLeft = 0;
};

}  // namespace vexscan::sim
