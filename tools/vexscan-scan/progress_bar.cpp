#include "tools/vexscan-scan/progress_bar.h"

#include <algorithm>

namespace vexscan::tool {
namespace {

constexpr int kBarWidth = 40;

}  // namespace

ProgressBar::ProgressBar(std::FILE* stream, std::string label)
    : stream_(stream), label_(std::move(label)) {}

void ProgressBar::show(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (percent == shown_ || finished_) {
        return;
    }
    shown_ = percent;
    const int filled = percent * kBarWidth / 100;
    std::fprintf(stream_, "\r%s [%s%s] %3d%%", label_.c_str(), std::string(filled, '#').c_str(),
                 std::string(kBarWidth - filled, ' ').c_str(), percent);
    std::fflush(stream_);
}

void ProgressBar::finish() {
    if (shown_ >= 0 && !finished_) {
        std::fputc('\n', stream_);
        std::fflush(stream_);
    }
    finished_ = true;
}

}  // namespace vexscan::tool
