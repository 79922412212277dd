// Command-line options of vexscan-scan.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vexscan::tool {

struct Options {
    std::string device;  // a simulated profile's name or file, or "driver" for the installed driver
    bool listDevices = false;
    bool help = false;
};

// Parses argv; on a usage fault returns nothing and says why in `error`.
std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error);

std::string usage(const std::string& program);

}  // namespace vexscan::tool
