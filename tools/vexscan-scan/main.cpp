// vexscan-scan: scans a page (or every sheet of the document feeder) through the vexscan
// library's exported functions and writes it as PNG or PNM.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/vexscan-scan/options.h"
#include "tools/vexscan-scan/scan_session.h"
#include "tools/vexscan-scan/simulated_device.h"

int main(int argc, char** argv) {
    using namespace vexscan::tool;
    // Messages carry the program's name; its path as typed is a last resort to find itself.
    const std::string path = argc > 0 ? argv[0] : "vexscan-scan";
    const std::string program = std::filesystem::path(path).filename().string();
    std::string error;
    const auto options = parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for the options.\n", program.c_str(),
                     error.c_str(), program.c_str());
        return kExitUsage;
    }
    if (options->help) {
        std::fputs(usage(program).c_str(), stdout);
        return kExitSuccess;
    }
    if (options->listDevices) {
        listSimulatedDevices(stdout);
        return kExitSuccess;
    }
    if (options->device != "driver" && !selectSimulatedDevice(options->device, path, error)) {
        std::fprintf(stderr, "%s: %s\n", program.c_str(), error.c_str());
        return kExitUsage;
    }
    return runScan(*options, program);
}
