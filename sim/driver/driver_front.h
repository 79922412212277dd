// The simulated communication driver's nine entry points, over one device model per process.
// Built as QUAYLINK.DLL, they are found by the library exactly as the real driver is; linked into
// a test, the same functions are handed to a CommPort directly.
#pragma once

#include <memory>

#include "sim/model/device_model.h"
#include "vexscan/comm/driver_entry_points.h"

namespace vexscan::sim {

// The device the entry points talk to from now on. Tests install their own; without one, the
// first entry point called creates the device named by VEXSCAN_SIM_PROFILE (a built-in profile
// or a profile file; the default profile when unset), with the faults of VEXSCAN_SIM_FAULTS
// (see fault_text.h), and mirrors its log to VEXSCAN_SIM_LOG.
void installDevice(std::shared_ptr<DeviceModel> device);
std::shared_ptr<DeviceModel> installedDevice();

DriverEntryPoints driverEntryPoints();

}  // namespace vexscan::sim
