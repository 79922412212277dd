#include "vexscan/device/warm_up_binding.h"

#include "vexscan/device/windows_path.h"

namespace vexscan {
namespace {
// The data source's path is built in a buffer of this many characters, NUL included.
constexpr std::size_t kDataSourcePathCapacity = 144;
}  // namespace

WarmUpBinding::WarmUpBinding() {
    const auto path = windowsPath(kDataSourcePathCapacity, {"TWAIN_32", "KIVA4", "PELLAR4.DS"});
    if (!path) {
        return;
    }
    module_ = platform::Module(path->c_str());
    if (module_.loaded()) {
        showWarmUp_ = reinterpret_cast<ShowWarmUpFunction>(module_.symbol("DSShowWarmUp"));
    }
}

void WarmUpBinding::show(int32_t visible) const {
    if (showWarmUp_ != nullptr) {
        showWarmUp_(visible);
    }
}

}  // namespace vexscan
