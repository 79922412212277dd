// Screen calibration arithmetic: slider positions, display gamma, grey levels and tone tables.
// Plain C++ so that the host tests check every value the dialog and SCREEN.CAL depend on.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kiva4cpl {

inline constexpr int minSliderPosition = 0;
inline constexpr int maxSliderPosition = 20;

// Grey level of the solid stripes for each slider position: the level whose brightness matches
// the black-and-white checkerboard on a display of gamma (position + 10) * 0.1.
inline constexpr std::array<std::uint8_t, maxSliderPosition + 1> patternGreyLevels = {
    81,  95,  108, 118, 128, 136, 144, 150, 156, 161, 166,
    170, 174, 177, 181, 183, 186, 189, 191, 194, 196};

// Scroll codes of WM_HSCROLL, with the values Windows gives them.
enum ScrollCode : int {
    scrollLineLeft = 0,
    scrollLineRight = 1,
    scrollPageLeft = 2,
    scrollPageRight = 3,
    scrollThumbPosition = 4,
    scrollThumbTrack = 5,
};

struct SliderStep {
    int position;
    bool changed;
};

// The slider position after one scroll message. Thumb positions are brought into 0..20, since
// the position indexes the 21 grey levels.
SliderStep sliderStep(int position, int scrollCode, int thumbPosition);

// A stored GammaIndex outside 0..20 (a damaged or foreign registry value) counts as the default 0.
int gammaIndexFromStored(std::uint32_t stored);

double gammaForPosition(int position);

// The gamma label: 1.0 + 0.1 * position formatted with "%2.1f".
std::string gammaLabel(int position);

using ToneTable = std::array<std::uint8_t, 256>;

// Entry i = floor(255 * (i / 255)^(1 / gamma) + 0.5).
ToneTable buildToneTable(double gamma);

}  // namespace kiva4cpl
