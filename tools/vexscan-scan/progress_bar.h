// A progress bar on a terminal line, redrawn in place as the percentage grows.
#pragma once

#include <cstdio>
#include <string>

namespace vexscan::tool {

class ProgressBar {
public:
    ProgressBar(std::FILE* stream, std::string label);

    // 0 to 100; values outside are held at the nearest end. Redraws only when the figure changes.
    void show(int percent);
    // Ends the bar's line, once.
    void finish();

private:
    std::FILE* stream_;
    std::string label_;
    int shown_ = -1;
    bool finished_ = false;
};

}  // namespace vexscan::tool
