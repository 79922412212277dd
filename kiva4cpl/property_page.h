// The "Utility" property page (template 107) that EnumStiPropPages adds to a scanner's sheet.
#pragma once

#include <windows.h>

namespace kiva4cpl {

inline constexpr const char* selectedScannerValue = "SelectedScanner";
inline constexpr const char* primaryInterfaceValue = "PrimaryInterface";

INT_PTR CALLBACK utilityPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Fill the interface label (1008) and the option label (1010).
void showInterfaceType(HWND page, DWORD hardwareConfiguration);
void showOptionType(HWND page);

}  // namespace kiva4cpl
