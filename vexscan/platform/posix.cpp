// The seam on Linux and other POSIX systems.
#include <dlfcn.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "vexscan/platform/platform.h"
#include "vexscan/platform/profile_reader.h"
#include "vexscan/platform/system.h"

namespace vexscan::platform {

namespace {

// The folder of the object holding this code (libvexscan.so), with its trailing '/'.
std::string ownFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ownFolder), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    const std::string path = info.dli_fname;
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

Module::Module(const char* name) : handle_(dlopen(name, RTLD_NOW | RTLD_LOCAL)) {
    // A bare name is looked up through the library's RUNPATH of $ORIGIN. Where dlopen is
    // intercepted (sanitizer runtimes), the lookup runs on the interceptor's behalf and misses that
    // RUNPATH, so the library's own folder is tried explicitly, as $ORIGIN would have.
    if (handle_ == nullptr && std::strchr(name, '/') == nullptr) {
        const std::string folder = ownFolder();
        if (!folder.empty()) {
            handle_ = dlopen((folder + name).c_str(), RTLD_NOW | RTLD_LOCAL);
        }
    }
}

void* Module::symbol(const char* name) const {
    return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

void Module::unload() {
    if (handle_ != nullptr) {
        dlclose(handle_);
        handle_ = nullptr;
    }
}

std::string systemWindowsDirectory() {
    const char* fromEnvironment = std::getenv("WINDIR");
    std::string directory = fromEnvironment != nullptr ? fromEnvironment : "/usr/local/share/vexscan/windows";
    while (directory.size() > 1 && directory.back() == '/') {
        directory.pop_back();
    }
    return directory;
}

int32_t readProfileInt(const char* section, const char* key, int32_t defaultValue, const char* path) {
    return readProfileIntFromFile(section, key, defaultValue, path);
}

void systemSleep(uint32_t milliseconds) {
    timespec remaining{static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

void* allocateZeroed(std::size_t size) { return std::calloc(1, size); }

void freeAllocation(void* memory) { std::free(memory); }

void repaintWindow(int32_t /*windowHandle*/) {}

}  // namespace vexscan::platform
