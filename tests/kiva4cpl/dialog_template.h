// A reader for classic dialog templates (DLGTEMPLATE) in a module's resources, so the tests can
// compare every control of the module's dialogs with what the page and the calibration expect.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kiva4cpl::test {

struct DialogItem {
    DWORD style;
    DWORD extendedStyle;
    short x, y, cx, cy;
    int id;                 // -1 for "no identifier" (0xFFFF)
    WORD classAtom;         // 0x80 button, 0x81 edit, 0x82 static, 0x84 scroll bar, named or not
    std::string className;  // when the class is given by name
    std::string text;
};

struct DialogTemplate {
    DWORD style;
    DWORD extendedStyle;
    short x, y, cx, cy;
    std::string caption;
    WORD fontSize = 0;
    std::string fontName;
    std::vector<DialogItem> items;
};

std::optional<DialogTemplate> loadDialogTemplate(HMODULE module, int id);

}  // namespace kiva4cpl::test
