#include "vexscan/api/connection.h"

#include <new>

#include "vexscan/classic/classic_scanner.h"
#include "vexscan/device/probe_scanner.h"
#include "vexscan/device/windows_path.h"
#include "vexscan/extended/extended_scanner.h"
#include "vexscan/platform/platform.h"

namespace vexscan {
namespace {

// The settings path is built in a buffer of this many characters, NUL included.
constexpr std::size_t kSettingsPathCapacity = 260;

// The data source's settings can force the classic family (ESCSupport=1 in [Debug]); a path
// that does not fit counts as a missing file.
bool classicFamilyForced() {
    const auto path = windowsPath(kSettingsPathCapacity, {"TWAIN_32", "KIVA4", "PELLAR4.INI"});
    return path && platform::readProfileInt("Debug", "ESCSupport", 0, path->c_str()) == 1;
}

std::unique_ptr<ScannerDevice> createDevice(bool extendedFamily, CommPort& port, ScanParamBlock* block) {
    if (extendedFamily) {
        return std::unique_ptr<ScannerDevice>(new (std::nothrow) ExtendedScanner(port, block));
    }
    return std::unique_ptr<ScannerDevice>(new (std::nothrow) ClassicScanner(port, block));
}

}  // namespace

Connection& connection() {
    static Connection instance;
    return instance;
}

std::unique_ptr<CommPort> loadCommunicationDriver() { return CommPort::load("QUAYLINK.DLL"); }

int32_t openScanner(ScanParamBlock* block, PortFactory createPort) {
    Connection& state = connection();
    // One connection per process: an open while a device object exists is refused, never allowed
    // to replace objects still in use. A port left behind by an earlier failed open is released
    // first, so a retry starts clean.
    if (state.device) {
        return 0;
    }
    state.port.reset();
    // Each open asks the device afresh; a family seen by an earlier connection must not carry over.
    state.extendedFamily = false;

    state.port = createPort();
    if (!state.port || !state.port->driverLoaded()) {
        return 0;
    }
    if (!state.port->isReady()) {
        return 0;
    }

    const int32_t probed = probeDevice(*state.port, state.extendedFamily);
    if (probed != 1) {
        return probed;  // 37 passes up unchanged, anything else is 0
    }
    if (classicFamilyForced()) {
        state.extendedFamily = false;
    }

    state.device = createDevice(state.extendedFamily, *state.port, block);
    if (!state.device) {
        return 0;
    }
    state.block = block;
    return state.device->Open();
}

void closeScanner() {
    Connection& state = connection();
    if (state.device) {
        state.device->Close();
        state.device.reset();
    }
    state.port.reset();
}

}  // namespace vexscan
