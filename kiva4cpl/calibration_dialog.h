// The Screen Calibration dialog (template 108).
#pragma once

#include <windows.h>

namespace kiva4cpl {

inline constexpr const char* screenCalibrationKey = "SOFTWARE\\TALVO\\SCREENCAL";
inline constexpr const char* gammaIndexValue = "GammaIndex";

INT_PTR CALLBACK calibrationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace kiva4cpl
