// The simulated scanners the tool can drive: listing them, and pointing the simulated
// communication driver at one before the library loads it.
#pragma once

#include <cstdio>
#include <string>

namespace vexscan::tool {

void listSimulatedDevices(std::FILE* stream);

// `device` is a built-in profile name or a profile file. `program` is the tool's own path: the
// build keeps the data source stand-in in a Windows directory beside the tool's folder, which is
// used unless WINDIR is set. False (with the reason) when the profile cannot be found.
bool selectSimulatedDevice(const std::string& device, const std::string& program,
                           std::string& error);

}  // namespace vexscan::tool
