#include "tools/vexscan-scan/simulated_device.h"

#include <cstdlib>
#include <filesystem>

#include "sim/model/profile.h"

namespace vexscan::tool {
namespace {

const char* optionName(sim::OptionKind option) {
    switch (option) {
        case sim::OptionKind::DocumentFeeder:
            return ", document feeder";
        case sim::OptionKind::FilmAdapter:
            return ", film adapter";
        case sim::OptionKind::None:
            break;
    }
    return "";
}

}  // namespace

void listSimulatedDevices(std::FILE* stream) {
    for (const std::string& name : sim::builtInProfileNames()) {
        const auto profile = sim::builtInProfile(name);
        if (!profile) continue;
        std::fprintf(stream, "%-12s %s family, level %s%s, \"%s\"%s\n", name.c_str(),
                     profile->family == sim::Family::Classic ? "classic" : "extended",
                     profile->levelCode.c_str(), optionName(profile->option),
                     profile->productName.c_str(),
                     name == sim::kDefaultProfileName ? " (default)" : "");
    }
}

bool selectSimulatedDevice(const std::string& device, const std::string& program,
                           std::string& error) {
    std::string reason;
    if (!sim::resolveProfile(device, reason)) {
        error = "unknown device \"" + device +
                "\": neither a simulated scanner (see --list-devices) nor a readable profile "
                "file (" +
                reason + ")";
        return false;
    }
    setenv("VEXSCAN_SIM_PROFILE", device.c_str(), 1);
    // The running binary's own path, whatever name it was started by.
    std::error_code ignored;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ignored);
    if (self.empty()) {
        self = std::filesystem::absolute(program, ignored);
    }
    const std::filesystem::path windowsDirectory = self.parent_path().parent_path() / "windir";
    if (std::getenv("WINDIR") == nullptr &&
        std::filesystem::is_directory(windowsDirectory, ignored)) {
        setenv("WINDIR", windowsDirectory.c_str(), 1);
    }
    return true;
}

}  // namespace vexscan::tool
