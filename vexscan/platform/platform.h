// The operating-system seam: the few services the library needs, one implementation per OS
// (posix.cpp, win32.cpp), chosen by the build. Nothing else in the library includes an OS header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vexscan::platform {

#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// A loaded module (DLL or shared object), unloaded when the object goes.
class Module {
public:
    Module() = default;
    // The name is used exactly as given: "QUAYLINK.DLL" is found through the normal search path.
    explicit Module(const char* name);
    ~Module();
    Module(Module&& other) noexcept;
    Module& operator=(Module&& other) noexcept;
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    // The address of an exported function, or null.
    void* symbol(const char* name) const;
    void unload();

private:
    void* handle_ = nullptr;
};

// The Windows directory, without a trailing separator. On POSIX it is $WINDIR, or
// /usr/local/share/vexscan/windows when that is unset.
std::string windowsDirectory();

// Tests point the library at a Windows directory of their own; an empty string restores the
// real one.
void setWindowsDirectoryForTesting(std::string directory);

// Integer value of `key` in `section` of a settings (.ini) file, with the Windows rules:
// section and key compared without case, the value's leading decimal integer, `defaultValue`
// when the file, section or key is missing or the value is empty.
int32_t readProfileInt(const char* section, const char* key, int32_t defaultValue, const char* path);

// Sleeps for the given milliseconds through the current sleep function.
void sleepMilliseconds(uint32_t milliseconds);

// Tests replace the sleep so that long waits take no real time. Passing null restores the real
// sleep. Returns the function that was in place.
using SleepFunction = void (*)(uint32_t milliseconds);
SleepFunction setSleepFunction(SleepFunction function);

// Zero-filled memory from the process heap; null on failure.
void* allocateZeroed(std::size_t size);
void freeAllocation(void* memory);

// Repaints the caller's window (a window handle as a 32-bit value); 0 means no window.
void repaintWindow(int32_t windowHandle);

}  // namespace vexscan::platform
