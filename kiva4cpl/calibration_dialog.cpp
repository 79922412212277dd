#include "kiva4cpl/calibration_dialog.h"

#include "kiva4cpl/calibration_file.h"
#include "kiva4cpl/calibration_math.h"
#include "kiva4cpl/calibration_pattern.h"
#include "kiva4cpl/exports.h"
#include "kiva4cpl/module_state.h"
#include "kiva4cpl/registry.h"
#include "kiva4cpl/resource_ids.h"

namespace kiva4cpl {

namespace {

CalibrationState& state() { return moduleState().calibration; }

void updateLabel(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_GAMMA_LABEL, gammaLabel(state().position).c_str());
}

void initialise(HWND dialog) {
    HWND slider = GetDlgItem(dialog, IDC_GAMMA_SLIDER);
    SetScrollRange(slider, SB_CTL, minSliderPosition, maxSliderPosition, TRUE);
    const DWORD stored = readRegDword(HKEY_CURRENT_USER, screenCalibrationKey, gammaIndexValue, 0);
    state().position = gammaIndexFromStored(stored);
    // A dialog closed between a slider move and its repaint must not leave the next one without
    // its checkerboard.
    state().fullRedraw = 1;
    SetScrollPos(slider, SB_CTL, state().position, TRUE);
    updateLabel(dialog);
}

void scroll(HWND dialog, WPARAM wParam, LPARAM lParam) {
    HWND slider = GetDlgItem(dialog, IDC_GAMMA_SLIDER);
    if (reinterpret_cast<HWND>(lParam) != slider) return;
    const SliderStep step =
        sliderStep(state().position, LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
    if (!step.changed) return;
    state().position = step.position;
    // Only the solid stripes change; the checkerboard on screen stays.
    state().fullRedraw = 0;
    InvalidateRect(GetDlgItem(dialog, IDC_PATTERN), nullptr, FALSE);
    SetScrollPos(slider, SB_CTL, state().position, TRUE);
    updateLabel(dialog);
}

void drawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID != IDC_PATTERN || item.itemAction != ODA_DRAWENTIRE) return;
    drawCalibrationPattern(item.hwndItem, patternGreyLevels[state().position], state().fullRedraw);
    state().fullRedraw = 1;
}

void accept(HWND dialog) {
    // The file's outcome is not reported; the chosen position is kept either way.
    writeCalibrationFile(gammaForPosition(state().position));
    writeRegDword(HKEY_CURRENT_USER, screenCalibrationKey, gammaIndexValue,
                  static_cast<DWORD>(state().position));
    EndDialog(dialog, 1);
}

}  // namespace

INT_PTR CALLBACK calibrationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            initialise(dialog);
            return TRUE;
        case WM_HSCROLL:
            scroll(dialog, wParam, lParam);
            return TRUE;
        case WM_DRAWITEM:
            drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                accept(dialog);
            } else if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, 1);
            }
            return TRUE;
        case WM_CLOSE:
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace kiva4cpl

extern "C" int WINAPI ScreenCalibration(HWND owner) noexcept {
    DialogBoxParamA(kiva4cpl::moduleState().module, MAKEINTRESOURCEA(IDD_SCREEN_CALIBRATION), owner,
                    kiva4cpl::calibrationDialogProc, 0);
    return 1;
}

extern "C" int WINAPI SetupSupport(HWND owner, DWORD, DWORD, DWORD) noexcept {
    ScreenCalibration(owner);
    return 1;
}
