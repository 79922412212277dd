// CommPort: the loaded communication driver, its entry points and the open flag.
#pragma once

#include <cstdint>
#include <memory>

#include "vexscan/comm/driver_entry_points.h"
#include "vexscan/platform/platform.h"

namespace vexscan {

inline constexpr int32_t kPortRefused = 37;

class CommPort {
public:
    // Loads the driver module by name, binds the nine entry points, then calls DDGetOpsys and
    // DDInit. A module that fails to load, or lacks an entry point, leaves driverLoaded() false
    // and is never called.
    static std::unique_ptr<CommPort> load(const char* moduleName);

    // A driver already in this process (the in-process simulator): same initialisation.
    explicit CommPort(const DriverEntryPoints& entryPoints);

    // Closes the port if open, calls DDExit and unloads the module.
    ~CommPort();

    CommPort(const CommPort&) = delete;
    CommPort& operator=(const CommPort&) = delete;

    bool driverLoaded() const { return bound_; }

    // 1 opened (or already open), 37 refused by the driver, 0 failed.
    int32_t openPort();
    void closePort();
    bool isReady();
    bool writeBytes(const uint8_t* bytes, uint32_t count);
    bool readBytes(uint8_t* bytes, uint32_t count);

    bool isOpen() const { return open_ != 0; }

private:
    CommPort() = default;
    void initialiseDriver();

    platform::Module module_;
    DriverEntryPoints entry_{};
    bool bound_ = false;
    int32_t open_ = 0;
};

}  // namespace vexscan
