// The module entry point. The C runtime's own start-up code calls DllMain, which forwards here.
#include "kiva4cpl/exports.h"
#include "kiva4cpl/module_state.h"

extern "C" BOOL WINAPI moduleEntryPoint(HINSTANCE module, DWORD reason, LPVOID) noexcept {
    if (reason == DLL_PROCESS_ATTACH) {
        kiva4cpl::moduleState().module = module;
        // Nothing here cares about threads coming and going.
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) noexcept {
    return moduleEntryPoint(module, reason, reserved);
}
