// kiva4cpl.dll as a file and as a loaded module: its export and import tables, its entry points
// and its resources (dialog templates, strings, bitmaps).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <ostream>
#include <set>
#include <string>

#include "dialog_template.h"
#include "kiva4cpl/resource_ids.h"
#include "tests/support/pe_image.h"
#include "windows_support.h"

namespace kiva4cpl::test {
namespace {

using vexscan::test::PeExport;
using vexscan::test::PeImage;
using vexscan::test::readPeImage;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

class ModuleFile : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        auto read = readPeImage(executableFolder() + "kiva4cpl.dll", error);
        ASSERT_TRUE(read) << error;
        image = *read;
    }
    PeImage image;
};

TEST_F(ModuleFile, ExportsTheFiveEntriesWithTheirOrdinalsAndExactNames) {
    std::map<std::uint32_t, std::string> exports;
    for (const PeExport& entry : image.exports) exports[entry.ordinal] = entry.name;
    const std::map<std::uint32_t, std::string> expected = {{1, "ScreenCalibration"},
                                                           {2, "_DllEntryPoint@12"},
                                                           {3, "_DllMain@12"},
                                                           {4, "EnumStiPropPages"},
                                                           {5, "SetupSupport"}};
    EXPECT_EQ(exports, expected);
}

TEST_F(ModuleFile, IsBuiltForThisTestsArchitecture) {
    EXPECT_EQ(image.machine, sizeof(void*) == 4 ? 0x14C : 0x8664);
}

TEST_F(ModuleFile, ImportsOnlySystemLibrariesAndTheStiService) {
    const std::set<std::string> allowed = {"kernel32.dll", "user32.dll",   "gdi32.dll",
                                           "advapi32.dll", "comctl32.dll", "msvcrt.dll",
                                           "sti.dll"};
    std::set<std::string> imported;
    for (const std::string& name : image.importedDlls) imported.insert(lower(name));
    for (const std::string& name : imported) EXPECT_TRUE(allowed.count(name)) << name;
    EXPECT_TRUE(imported.count("sti.dll"));
    EXPECT_TRUE(imported.count("comctl32.dll"));
}

class LoadedModule : public testing::Test {
protected:
    static void SetUpTestSuite() { module = LoadLibraryA("kiva4cpl.dll"); }
    static void TearDownTestSuite() { FreeLibrary(module); }
    void SetUp() override { ASSERT_NE(module, nullptr); }
    static HMODULE module;
};
HMODULE LoadedModule::module = nullptr;

TEST_F(LoadedModule, ResolvesEveryExportByNameAndByOrdinalAlike) {
    const std::map<int, const char*> exports = {{1, "ScreenCalibration"},
                                                {2, "_DllEntryPoint@12"},
                                                {3, "_DllMain@12"},
                                                {4, "EnumStiPropPages"},
                                                {5, "SetupSupport"}};
    for (const auto& [ordinal, name] : exports) {
        FARPROC byName = GetProcAddress(module, name);
        EXPECT_NE(byName, nullptr) << name;
        EXPECT_EQ(byName, GetProcAddress(module, MAKEINTRESOURCEA(ordinal))) << name;
    }
}

TEST_F(LoadedModule, EntryPointsAnswerOneForEveryReason) {
    using EntryPoint = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
    for (const char* name : {"_DllEntryPoint@12", "_DllMain@12"}) {
        auto entry = procedure<EntryPoint>(module, name);
        ASSERT_NE(entry, nullptr) << name;
        for (DWORD reason :
             std::array<DWORD, 3>{DLL_THREAD_ATTACH, DLL_THREAD_DETACH, DLL_PROCESS_ATTACH}) {
            EXPECT_EQ(entry(module, reason, nullptr), TRUE) << name << " reason " << reason;
        }
    }
}

TEST_F(LoadedModule, HoldsTheStringTable) {
    const std::map<int, std::string> strings = {{1, "SCSI"},
                                                {2, "USB"},
                                                {3, "Unknown"},
                                                {4, "NONE"},
                                                {5, "Auto Document Feeder"},
                                                {6, "Film Adapter"},
                                                {7, "Software\\TALVO\\ORVANI"},
                                                {8, "Not Connected"},
                                                {10, "Screen"}};
    for (const auto& [id, text] : strings) {
        std::array<char, 128> loaded{};
        EXPECT_GT(LoadStringA(module, static_cast<UINT>(id), loaded.data(), 128), 0) << id;
        EXPECT_EQ(std::string(loaded.data()), text) << id;
    }
    std::array<char, 16> missing{};
    EXPECT_EQ(LoadStringA(module, 9, missing.data(), 16), 0);
}

TEST_F(LoadedModule, HoldsThreeDistinctFortyEightPixelSixteenColourBitmaps) {
    std::vector<std::vector<std::uint8_t>> pixels;
    for (int id : {IDB_CALIBRATE_NORMAL, IDB_CALIBRATE_PRESSED, IDB_CALIBRATE_FOCUSED}) {
        HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
        ASSERT_NE(resource, nullptr) << id;
        const auto* header =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, resource)));
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->biWidth, 48) << id;
        EXPECT_EQ(header->biHeight, 48) << id;
        EXPECT_EQ(header->biBitCount, 4) << id;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(header);
        pixels.emplace_back(bytes + header->biSize + 16 * 4,
                            bytes + SizeofResource(module, resource));
        HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
        EXPECT_NE(bitmap, nullptr) << id;
        DeleteObject(bitmap);
    }
    EXPECT_NE(pixels[0], pixels[1]);
    EXPECT_NE(pixels[0], pixels[2]);
    EXPECT_NE(pixels[1], pixels[2]);
}

struct ExpectedItem {
    int id;
    WORD classAtom;
    short x, y, cx, cy;
    DWORD style;  // WS_CHILD and WS_VISIBLE are implied
    DWORD extendedStyle;
    const char* text;
};

void expectItems(const DialogTemplate& dialog, const std::vector<ExpectedItem>& expected) {
    ASSERT_EQ(dialog.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const DialogItem& item = dialog.items[i];
        const ExpectedItem& want = expected[i];
        SCOPED_TRACE("control " + std::to_string(i) + " \"" + want.text + "\"");
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ(item.classAtom, want.classAtom);
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
        EXPECT_EQ(item.style, want.style | WS_CHILD | WS_VISIBLE) << std::hex << item.style;
        EXPECT_EQ(item.extendedStyle, want.extendedStyle);
        EXPECT_EQ(item.text, want.text);
    }
}

constexpr WORD button = 0x80;
constexpr WORD edit = 0x81;
constexpr WORD staticText = 0x82;
constexpr WORD scrollBar = 0x84;

TEST_F(LoadedModule, UtilityPageTemplateHasEveryControlInPlace) {
    const auto dialog = loadDialogTemplate(module, IDD_UTILITY_PAGE);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->style, DWORD{DS_SETFONT | WS_CHILD | WS_DISABLED | WS_CAPTION});
    EXPECT_EQ(dialog->caption, "Utility");
    EXPECT_EQ(dialog->cx, 235);
    EXPECT_EQ(dialog->cy, 205);
    EXPECT_EQ(dialog->fontSize, 9);
    EXPECT_EQ(dialog->fontName, "MS Sans Serif");
    expectItems(
        *dialog,
        {
            {IDC_CALIBRATE_BUTTON, button, 17, 107, 32, 32, BS_OWNERDRAW | WS_TABSTOP, 0, ""},
            {-1, staticText, 59, 116, 91, 13, SS_LEFT | WS_GROUP, 0, "Screen Calibration Utility"},
            {IDC_DEFAULT_SCANNER, button, 23, 72, 171, 18, BS_AUTOCHECKBOX | WS_TABSTOP, 0,
             "Select as default scanner for ORVANI."},
            {-1, button, 9, 9, 217, 55, BS_GROUPBOX, 0, "Scanner Information"},
            {IDC_INTERFACE_LABEL, edit, 60, 25, 70, 12, ES_AUTOHSCROLL | ES_READONLY | WS_BORDER, 0,
             ""},
            {-1, staticText, 20, 25, 34, 11, SS_LEFT | WS_GROUP, 0, "Interface:"},
            {-1, staticText, 26, 39, 27, 9, SS_LEFT | WS_GROUP, 0, "Option:"},
            {-1, staticText, 17, 143, 196, 23, SS_LEFT | WS_GROUP, 0,
             "Click this button to calibrate your monitor again after adjusting Resolution, "
             "Contrast, Brightness, and other settings."},
            {IDC_OPTION_LABEL, edit, 60, 39, 151, 12,
             ES_AUTOHSCROLL | ES_READONLY | WS_BORDER | WS_TABSTOP, 0, ""},
            {-1, staticText, 9, 99, 217, 77, SS_ETCHEDFRAME, 0, ""},
        });
}

TEST_F(LoadedModule, ScreenCalibrationTemplateHasEveryControlInPlace) {
    const auto dialog = loadDialogTemplate(module, IDD_SCREEN_CALIBRATION);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->style,
              DWORD{DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU});
    EXPECT_EQ(dialog->caption, "Screen Calibration");
    EXPECT_EQ(dialog->x, 74);
    EXPECT_EQ(dialog->y, 12);
    EXPECT_EQ(dialog->cx, 207);
    EXPECT_EQ(dialog->cy, 243);
    EXPECT_EQ(dialog->fontSize, 9);
    EXPECT_EQ(dialog->fontName, "MS Sans Serif");
    expectItems(*dialog,
                {
                    {IDOK, button, 41, 221, 51, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "OK"},
                    {IDCANCEL, button, 112, 221, 51, 14, BS_PUSHBUTTON | WS_TABSTOP, 0, "Cancel"},
                    {IDC_GAMMA_SLIDER, scrollBar, 51, 199, 97, 11, SBS_HORZ | WS_TABSTOP, 0, ""},
                    {-1, staticText, 2, 63, 203, 126, SS_WHITERECT | SS_SUNKEN, 0, ""},
                    {IDC_GAMMA_LABEL, staticText, 161, 201, 19, 8, SS_LEFT, WS_EX_TRANSPARENT, ""},
                    {IDC_PATTERN, button, 33, 93, 142, 68, BS_OWNERDRAW, 0, ""},
                    {-1, staticText, 14, 10, 171, 22, SS_LEFT | WS_GROUP, 0,
                     "Please follow the instructions below to ensure the tone and contrast on your "
                     "screen match the original image."},
                    {-1, staticText, 14, 35, 171, 24, SS_LEFT | WS_GROUP, 0,
                     "Using the slider, adjust the horizontal stripes until the two shades of gray "
                     "match as closely as possible."},
                });
}

}  // namespace
}  // namespace kiva4cpl::test
