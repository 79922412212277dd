// The nine entry points of the communication driver, QUAYLINK.DLL, as one table. Production fills
// it from the loaded module; an in-process test fills it from the simulated scanner.
#pragma once

#include <cstdint>

#include "vexscan/platform/callconv.h"

namespace vexscan {

// Every entry point returns 0 on success wherever its result is read.
using DDInitFunction = int32_t(VEXSCAN_CALL*)(std::uintptr_t root, const char* location,
                                              const char* section, int32_t mode, const char* product);
using DDExitFunction = int32_t(VEXSCAN_CALL*)();
using DDOpenFunction = int32_t(VEXSCAN_CALL*)();   // 0 opened, 37 refused, else failed
using DDCloseFunction = int32_t(VEXSCAN_CALL*)(int32_t always0);
using DDReadFunction = int32_t(VEXSCAN_CALL*)(uint8_t* buffer, uint32_t count);  // 0: exactly count read
using DDWriteFunction = int32_t(VEXSCAN_CALL*)(const uint8_t* buffer, uint32_t count);
using DDIsReadyFunction = int32_t(VEXSCAN_CALL*)();  // 0 ready
using DDSaveFunction = int32_t(VEXSCAN_CALL*)();     // bound, never called
using DDGetOpsysFunction = int32_t(VEXSCAN_CALL*)();

struct DriverEntryPoints {
    DDInitFunction DDInit = nullptr;
    DDExitFunction DDExit = nullptr;
    DDOpenFunction DDOpen = nullptr;
    DDCloseFunction DDClose = nullptr;
    DDReadFunction DDRead = nullptr;
    DDWriteFunction DDWrite = nullptr;
    DDIsReadyFunction DDIsReady = nullptr;
    DDSaveFunction DDSave = nullptr;
    DDGetOpsysFunction DDGetOpsys = nullptr;

    bool complete() const {
        return DDInit && DDExit && DDOpen && DDClose && DDRead && DDWrite && DDIsReady && DDSave &&
               DDGetOpsys;
    }
};

// DDInit's registry form names this key under HKEY_CURRENT_USER.
inline constexpr std::uintptr_t kHkeyCurrentUser = 0x80000001u;

}  // namespace vexscan
