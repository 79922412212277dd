// vexscan-scan: opens a scanner through the library's exported functions and reports what it
// answers.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "sim/model/profile.h"
#include "tools/vexscan-scan/options.h"
#include "vexscan/api/vexscan.h"

namespace {

// Points the simulated driver at the requested profile and, unless the caller chose one, at the
// Windows directory the build keeps beside the tool for the data source stand-in.
void selectSimulatedDevice(const std::string& device, const std::filesystem::path& program) {
    setenv("VEXSCAN_SIM_PROFILE", device.c_str(), 1);
    const std::filesystem::path windowsDirectory = program.parent_path().parent_path() / "windir";
    if (std::getenv("WINDIR") == nullptr && std::filesystem::is_directory(windowsDirectory)) {
        setenv("WINDIR", windowsDirectory.c_str(), 1);
    }
}

const char* outcome(int32_t result) { return result == 1 ? "ok" : "failed"; }

}  // namespace

int main(int argc, char** argv) {
    const std::string program = argc > 0 ? argv[0] : "vexscan-scan";
    std::string error;
    const auto options = vexscan::tool::parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "%s: %s\n%s", program.c_str(), error.c_str(), vexscan::tool::usage(program).c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(vexscan::tool::usage(program).c_str(), stdout);
        return 0;
    }
    if (options->listDevices) {
        for (const std::string& name : vexscan::sim::builtInProfileNames()) {
            const auto profile = vexscan::sim::builtInProfile(name);
            std::printf("%-12s %s family, level %s, \"%s\"\n", name.c_str(),
                        profile->family == vexscan::sim::Family::Classic ? "classic" : "extended",
                        profile->levelCode.c_str(), profile->productName.c_str());
        }
        return 0;
    }
    if (options->device != "driver") {
        selectSimulatedDevice(options->device, std::filesystem::absolute(program));
    }

    static ScanParamBlock blockRecord;
    ScanParamBlock* block = &blockRecord;

    const int32_t opened = PMOpenScanner(block);
    if (opened != 1) {
        std::fprintf(stderr, "%s: cannot open the scanner: %s (error code %d)\n", program.c_str(),
                     opened == 37 ? "the communication driver refused the port" : "open failed",
                     static_cast<int>(opened == 37 ? 37 : PMGetScanError()));
        PMCloseScanner();
        return 1;
    }
    std::printf("device:  %s\n", options->device.c_str());
    std::printf("open:    ok\n");
    std::printf("reset:   %s\n", outcome(PMReset()));
    std::printf("eject:   %s\n", outcome(PMEject(0)));
    std::printf("feed:    %s\n", outcome(PMFeed(0)));
    PMCloseScanner();
    std::printf("close:   done\n");
    return 0;
}
