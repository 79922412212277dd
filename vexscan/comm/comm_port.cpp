#include "vexscan/comm/comm_port.h"

#include <new>

namespace vexscan {
namespace {

// The system codes for which the driver keeps its settings in the registry.
bool usesRegistrySettings(int32_t systemCode) { return systemCode == 3 || systemCode == 4; }

template <typename Function>
void bind(const platform::Module& module, const char* name, Function& target) {
    target = reinterpret_cast<Function>(module.symbol(name));
}

}  // namespace

std::unique_ptr<CommPort> CommPort::load(const char* moduleName) {
    std::unique_ptr<CommPort> port(new (std::nothrow) CommPort());
    if (!port) {
        return nullptr;
    }
    port->module_ = platform::Module(moduleName);
    if (!port->module_.loaded()) {
        return port;
    }
    DriverEntryPoints& entry = port->entry_;
    bind(port->module_, "DDInit", entry.DDInit);
    bind(port->module_, "DDExit", entry.DDExit);
    bind(port->module_, "DDOpen", entry.DDOpen);
    bind(port->module_, "DDClose", entry.DDClose);
    bind(port->module_, "DDRead", entry.DDRead);
    bind(port->module_, "DDWrite", entry.DDWrite);
    bind(port->module_, "DDIsReady", entry.DDIsReady);
    bind(port->module_, "DDSave", entry.DDSave);
    bind(port->module_, "DDGetOpsys", entry.DDGetOpsys);
    port->initialiseDriver();
    return port;
}

CommPort::CommPort(const DriverEntryPoints& entryPoints) : entry_(entryPoints) { initialiseDriver(); }

void CommPort::initialiseDriver() {
    // A driver with a missing entry point is never called at all: it was never initialised, so
    // it is not exited either.
    bound_ = entry_.complete();
    if (!bound_) {
        return;
    }
    if (usesRegistrySettings(entry_.DDGetOpsys())) {
        entry_.DDInit(kHkeyCurrentUser, "Software\\TALVO\\ORVANI", "", 0, "KIVA4");
    } else {
        entry_.DDInit(0, "win.ini", "KIVA4DRV", 1, "KIVA4");
    }
}

CommPort::~CommPort() {
    if (!bound_) {
        return;
    }
    if (isOpen()) {
        closePort();
    }
    entry_.DDExit();
    // module_ unloads the driver as it goes.
}

int32_t CommPort::openPort() {
    if (open_ != 0) {
        return 1;
    }
    if (!bound_) {
        return 0;
    }
    const int32_t result = entry_.DDOpen();
    if (result == 0) {
        open_ = 1;
        return 1;
    }
    return result == kPortRefused ? kPortRefused : 0;
}

void CommPort::closePort() {
    if (open_ != 0) {
        entry_.DDClose(0);
        open_ = 0;
    }
}

bool CommPort::isReady() { return bound_ && entry_.DDIsReady() == 0; }

bool CommPort::writeBytes(const uint8_t* bytes, uint32_t count) {
    return bound_ && entry_.DDWrite(bytes, count) == 0;
}

bool CommPort::readBytes(uint8_t* bytes, uint32_t count) {
    return bound_ && entry_.DDRead(bytes, count) == 0;
}

}  // namespace vexscan
