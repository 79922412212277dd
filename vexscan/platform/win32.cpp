// The seam on Windows.
#include <windows.h>

#include "vexscan/platform/platform.h"
#include "vexscan/platform/system.h"

namespace vexscan::platform {

Module::Module(const char* name) : handle_(LoadLibraryA(name)) {}

void* Module::symbol(const char* name) const {
    if (handle_ == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

void Module::unload() {
    if (handle_ != nullptr) {
        FreeLibrary(static_cast<HMODULE>(handle_));
        handle_ = nullptr;
    }
}

std::string systemWindowsDirectory() {
    char buffer[MAX_PATH];
    UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) {
        std::string large(length, '\0');
        length = length == 0 ? 0 : GetWindowsDirectoryA(large.data(), static_cast<UINT>(large.size()));
        large.resize(length < large.size() ? length : 0);
        return large;
    }
    return std::string(buffer, length);
}

int32_t readProfileInt(const char* section, const char* key, int32_t defaultValue, const char* path) {
    return static_cast<int32_t>(GetPrivateProfileIntA(section, key, defaultValue, path));
}

void systemSleep(uint32_t milliseconds) { Sleep(milliseconds); }

void* allocateZeroed(std::size_t size) {
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
}

void freeAllocation(void* memory) {
    if (memory != nullptr) {
        HeapFree(GetProcessHeap(), 0, memory);
    }
}

void repaintWindow(int32_t windowHandle) {
    if (windowHandle == 0) {
        return;
    }
    HWND window = reinterpret_cast<HWND>(static_cast<intptr_t>(windowHandle));
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
}

}  // namespace vexscan::platform
