// One run of the tool against the scanner: open it through the library's exports, scan one page
// or every sheet of the feeder, close it. Returns the process's exit status.
#pragma once

#include "tools/vexscan-scan/options.h"

namespace vexscan::tool {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

int runScan(const Options& options, const std::string& program);

}  // namespace vexscan::tool
