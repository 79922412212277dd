// Parts of the seam that are the same on every system: the replaceable sleep and the test
// override of the Windows directory.
#include <string>
#include <utility>

#include "vexscan/platform/platform.h"
#include "vexscan/platform/system.h"

namespace vexscan::platform {
namespace {

SleepFunction currentSleep = nullptr;
std::string windowsDirectoryOverride;

}  // namespace

void sleepMilliseconds(uint32_t milliseconds) {
    if (currentSleep != nullptr) {
        currentSleep(milliseconds);
    } else {
        systemSleep(milliseconds);
    }
}

SleepFunction setSleepFunction(SleepFunction function) {
    return std::exchange(currentSleep, function);
}

void setWindowsDirectoryForTesting(std::string directory) {
    windowsDirectoryOverride = std::move(directory);
}

std::string windowsDirectory() {
    if (!windowsDirectoryOverride.empty()) {
        return windowsDirectoryOverride;
    }
    return systemWindowsDirectory();
}

Module::Module(Module&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

Module& Module::operator=(Module&& other) noexcept {
    if (this != &other) {
        unload();
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

Module::~Module() { unload(); }

}  // namespace vexscan::platform
