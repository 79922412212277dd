// The calibration pattern: 16-pixel stripes of a black-and-white checkerboard alternating with
// 16-pixel stripes of solid grey, a checkerboard stripe first.
#pragma once

#include <windows.h>

namespace kiva4cpl {

// Paints the solid stripes in RGB(grey, grey, grey) and, when drawCheckerboard is 1, the
// checkerboard stripes too. A repaint without the checkerboard leaves the checkerboard already
// on screen in place, so moving the slider changes only the solid stripes.
void drawCalibrationPattern(HWND patternWindow, int grey, int drawCheckerboard);

}  // namespace kiva4cpl
