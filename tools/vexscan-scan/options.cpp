#include "tools/vexscan-scan/options.h"

#include "sim/model/profile.h"

namespace vexscan::tool {

std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Options options;
    options.device = std::string(sim::kDefaultProfileName);
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto value = [&](const std::string& name) -> std::optional<std::string> {
            const std::string prefix = name + "=";
            if (argument.rfind(prefix, 0) == 0) {
                return argument.substr(prefix.size());
            }
            if (i + 1 < arguments.size()) {
                return arguments[++i];
            }
            error = "option " + name + " needs a value";
            return std::nullopt;
        };
        if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "-L" || argument == "--list-devices") {
            options.listDevices = true;
        } else if (argument == "--device" || argument.rfind("--device=", 0) == 0) {
            auto device = value("--device");
            if (!device) return std::nullopt;
            options.device = *device;
        } else {
            error = "unknown option " + argument;
            return std::nullopt;
        }
    }
    return options;
}

std::string usage(const std::string& program) {
    return "Usage: " + program + " [options]\n"
           "Opens a scanner through the vexscan library and reports what it answers.\n"
           "\n"
           "  -L, --list-devices   list the simulated scanners\n"
           "  --device NAME        a simulated scanner by profile name or profile file,\n"
           "                       or \"driver\" for the installed communication driver\n"
           "                       (default: " + std::string(sim::kDefaultProfileName) + ")\n"
           "  -h, --help           show this help\n";
}

}  // namespace vexscan::tool
