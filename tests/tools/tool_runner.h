// Running the built vexscan-scan in a folder of its own, as a user would from a shell, and
// writing simulated scanner profiles for it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "sim/model/profile.h"

namespace vexscan::tool::test {

struct ToolRun {
    int exitCode = -1;
    std::string output;  // standard output
    std::string errors;  // standard error
};

// `environment` entries are "NAME=value", set for this run only.
ToolRun runScanTool(const std::filesystem::path& directory,
                    const std::vector<std::string>& arguments,
                    const std::vector<std::string>& environment = {});

// The profile as a profile file's text, which the simulated driver reads back to the same device.
std::string profileFileText(const sim::DeviceProfile& profile);

}  // namespace vexscan::tool::test
