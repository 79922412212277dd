// Faults written as text, for a simulated driver loaded by name (VEXSCAN_SIM_FAULTS): items
// separated by commas, each one of
//   open=N          the next DDOpen returns N (37 refuses the port); repeatable
//   not-ready       DDIsReady reports not ready
//   refuse=XXXX     the command with this hex key (1B49 is ESC I, 000C is FF) is answered with NAK
//   fail-read=N     the N-th DDRead (from 0) fails
//   fail-write=N    the N-th DDWrite (from 0) fails
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sim/model/device_model.h"

namespace vexscan::sim {

std::optional<FaultPlan> parseFaults(std::string_view text, std::string& error);

}  // namespace vexscan::sim
