// The module-wide state of kiva4cpl, in one place: the module handle saved at process attach, the
// state of the "Utility" page and the state of the Screen Calibration dialog. One page and one
// calibration dialog exist per process at a time.
#pragma once

#include <windows.h>
// <sti.h> builds on <windows.h>.
#include <sti.h>

#include <array>

#include "kiva4cpl/page_rules.h"
#include "kiva4cpl/win32_handles.h"

namespace kiva4cpl {

struct PageState {
    HPROPSHEETPAGE page = nullptr;
    ComRef<IStillImageW> stillImage;            // from page initialisation to page destruction
    ComRef<IStiDevice> device;                  // open only during page initialisation
    std::array<GdiObject<HBITMAP>, 3> bitmaps;  // normal, pressed, focused
    std::array<char, 50> keyPath{};
    std::array<char, rememberedNameBufferSize> rememberedName{};
    DWORD rememberedInterface = noDefaultInterface;
    // The stored SelectedScanner did not fit rememberedName; Apply leaves it alone unless the
    // user changes the check box.
    bool storedNameCut = false;
};

struct CalibrationState {
    int position = 0;
    int fullRedraw = 1;
};

struct ModuleState {
    HINSTANCE module = nullptr;
    PageState page;
    CalibrationState calibration;
};

ModuleState& moduleState();

}  // namespace kiva4cpl
