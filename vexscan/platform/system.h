// What each system's implementation file provides to the shared part of the seam.
#pragma once

#include <cstdint>
#include <string>

namespace vexscan::platform {

void systemSleep(uint32_t milliseconds);
std::string systemWindowsDirectory();

}  // namespace vexscan::platform
