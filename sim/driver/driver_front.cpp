#include "sim/driver/driver_front.h"

#include <cstdio>
#include <cstdlib>

#include "sim/model/fault_text.h"

#if defined(VEXSCAN_SIM_BUILDING_DRIVER) && !defined(_WIN32)
#define SIM_DRIVER_EXPORT __attribute__((visibility("default")))
#else
#define SIM_DRIVER_EXPORT
#endif

namespace vexscan::sim {
namespace {

std::shared_ptr<DeviceModel>& deviceSlot() {
    static std::shared_ptr<DeviceModel> device;
    return device;
}

std::shared_ptr<DeviceModel> deviceFromEnvironment() {
    const char* requested = std::getenv("VEXSCAN_SIM_PROFILE");
    const std::string name = requested != nullptr && *requested != '\0' ? requested : std::string(kDefaultProfileName);
    std::string error;
    auto profile = resolveProfile(name, error);
    if (!profile) {
        std::fprintf(stderr, "simulated scanner: unknown profile \"%s\" (%s)\n", name.c_str(), error.c_str());
        return nullptr;
    }
    auto device = std::make_shared<DeviceModel>(std::move(*profile));
    if (const char* faultText = std::getenv("VEXSCAN_SIM_FAULTS"); faultText != nullptr) {
        auto faults = parseFaults(faultText, error);
        if (!faults) {
            std::fprintf(stderr, "simulated scanner: %s\n", error.c_str());
            return nullptr;
        }
        device->faults() = std::move(*faults);
    }
    if (const char* logPath = std::getenv("VEXSCAN_SIM_LOG"); logPath != nullptr && *logPath != '\0') {
        device->log().mirrorTo(logPath);
    }
    return device;
}

DeviceModel* device() {
    std::shared_ptr<DeviceModel>& slot = deviceSlot();
    if (!slot) {
        slot = deviceFromEnvironment();
    }
    return slot.get();
}

// A driver with no device behind it (unknown profile) fails every call that can fail.
constexpr int32_t kNoDevice = 1;

}  // namespace

void installDevice(std::shared_ptr<DeviceModel> model) { deviceSlot() = std::move(model); }

std::shared_ptr<DeviceModel> installedDevice() {
    device();
    return deviceSlot();
}

}  // namespace vexscan::sim

using vexscan::sim::device;
using vexscan::sim::kNoDevice;

extern "C" {

SIM_DRIVER_EXPORT int32_t VEXSCAN_CALL DDGetOpsys() {
    return device() != nullptr ? device()->getOpsys() : 0;
}

SIM_DRIVER_EXPORT int32_t VEXSCAN_CALL DDInit(std::uintptr_t root, const char* location,
                                              const char* section, int32_t mode, const char* product) {
    return device() != nullptr ? device()->init(root, location, section, mode, product) : kNoDevice;
}

SIM_DRIVER_EXPORT int32_t VEXSCAN_CALL DDExit() { return device() != nullptr ? device()->exit() : 0; }

SIM_DRIVER_EXPORT int32_t VEXSCAN_CALL DDOpen() { return device() != nullptr ? device()->open() : kNoDevice; }

SIM_DRIVER_EXPORT int32_t VEXSCAN_CALL DDClose(int32_t argument) {
    return device() != nullptr ? device()->close(argument) : 0;
}

SIM_DRIVER_EXPORT int32_t VEXSCAN_CALL DDRead(uint8_t* buffer, uint32_t count) {
    return device() != nullptr ? device()->read(buffer, count) : kNoDevice;
}

SIM_DRIVER_EXPORT int32_t VEXSCAN_CALL DDWrite(const uint8_t* buffer, uint32_t count) {
    return device() != nullptr ? device()->write(buffer, count) : kNoDevice;
}

SIM_DRIVER_EXPORT int32_t VEXSCAN_CALL DDIsReady() {
    return device() != nullptr ? device()->isReady() : kNoDevice;
}

// The library binds it but never calls it; the simulated driver keeps no settings.
SIM_DRIVER_EXPORT int32_t VEXSCAN_CALL DDSave() { return 0; }

}  // extern "C"

vexscan::DriverEntryPoints vexscan::sim::driverEntryPoints() {
    DriverEntryPoints entry;
    entry.DDInit = &DDInit;
    entry.DDExit = &DDExit;
    entry.DDOpen = &DDOpen;
    entry.DDClose = &DDClose;
    entry.DDRead = &DDRead;
    entry.DDWrite = &DDWrite;
    entry.DDIsReady = &DDIsReady;
    entry.DDSave = &DDSave;
    entry.DDGetOpsys = &DDGetOpsys;
    return entry;
}
