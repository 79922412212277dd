#include "vexscan/device/windows_path.h"

#include "vexscan/platform/platform.h"

namespace vexscan {

std::optional<std::string> windowsPath(std::size_t capacity, std::initializer_list<const char*> parts) {
    std::string path = platform::windowsDirectory();
    if (path.empty()) {
        return std::nullopt;
    }
    for (const char* part : parts) {
        path += platform::kPathSeparator;
        path += part;
    }
    if (path.size() + 1 > capacity) {
        return std::nullopt;
    }
    return path;
}

}  // namespace vexscan
