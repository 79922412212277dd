#include "kiva4cpl/calibration_math.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kiva4cpl {

SliderStep sliderStep(int position, int scrollCode, int thumbPosition) {
    int next = position;
    switch (scrollCode) {
        case scrollLineLeft:
        case scrollPageLeft:
            if (position > minSliderPosition) next = position - 1;
            break;
        case scrollLineRight:
        case scrollPageRight:
            if (position < maxSliderPosition) next = position + 1;
            break;
        case scrollThumbPosition:
        case scrollThumbTrack:
            next = std::clamp(thumbPosition, minSliderPosition, maxSliderPosition);
            break;
        default:
            break;
    }
    return {next, next != position};
}

int gammaIndexFromStored(std::uint32_t stored) {
    return stored <= static_cast<std::uint32_t>(maxSliderPosition) ? static_cast<int>(stored) : 0;
}

double gammaForPosition(int position) { return (position + 10) * 0.1; }

std::string gammaLabel(int position) {
    char text[16];
    std::snprintf(text, sizeof text, "%2.1f", 1.0 + 0.1 * position);
    return text;
}

ToneTable buildToneTable(double gamma) {
    ToneTable table{};
    for (int i = 0; i < 256; ++i) {
        const double value = std::floor(255.0 * std::pow(i / 255.0, 1.0 / gamma) + 0.5);
        table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value);
    }
    return table;
}

}  // namespace kiva4cpl
