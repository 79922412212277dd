// The exports of kiva4cpl.dll (names and ordinals fixed by kiva4cpl.def), with the standard
// Windows calling convention.
#pragma once

#include <windows.h>
// The Win32 headers below build on <windows.h>.
#include <prsht.h>
#include <sti.h>

extern "C" {

// Ordinal 1: runs the Screen Calibration dialog modally; always 1.
int WINAPI ScreenCalibration(HWND owner) noexcept;

// Ordinal 2, exported as "_DllEntryPoint@12": saves the module handle at process attach.
BOOL WINAPI moduleEntryPoint(HINSTANCE module, DWORD reason, LPVOID reserved) noexcept;

// Ordinal 3, exported as "_DllMain@12": forwards to the entry point.
BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) noexcept;

// Ordinal 4: adds the "Utility" page to the scanner's property sheet.
BOOL WINAPI EnumStiPropPages(PSTI_DEVICE_INFORMATIONW deviceInformation,
                             LPFNADDPROPSHEETPAGE addPage, LPARAM addPageArgument) noexcept;

// Ordinal 5: the setup program's way into the calibration; the last three arguments are unused.
int WINAPI SetupSupport(HWND owner, DWORD unused1, DWORD unused2, DWORD unused3) noexcept;
}
