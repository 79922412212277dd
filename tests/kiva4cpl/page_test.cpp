// The "Utility" page of kiva4cpl.dll hosted in a real (modeless) property sheet, talking to the
// stand-in sti.dll (loaded instead of the system's own through a native DLL override).
#include <windows.h>
// The Win32 headers below build on <windows.h>.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <prsht.h>
#include <sti.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "kiva4cpl/resource_ids.h"
#include "sim/sti/sti_stand_in.h"
#include "windows_support.h"

namespace kiva4cpl::test {
namespace {

constexpr const char* scannerKey = "Software\\TALVO\\ORVANI";
constexpr const char* calibrationKey = "SOFTWARE\\TALVO\\SCREENCAL";
constexpr int applyButton = 0x3021;
constexpr const wchar_t* internalName = L"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0001";

using EnumStiPropPagesFunction = BOOL(WINAPI*)(PSTI_DEVICE_INFORMATIONW, LPFNADDPROPSHEETPAGE,
                                               LPARAM);
using PropertySheetFunction = INT_PTR(WINAPI*)(LPCPROPSHEETHEADERA);

// The common controls are bound at run time: a library loaded with the test program would open
// the display before the test sets up Wine's windows (see WineWithoutWindowManager).
INT_PTR propertySheet(LPCPROPSHEETHEADERA header) {
    static const auto function =
        procedure<PropertySheetFunction>(LoadLibraryA("comctl32.dll"), "PropertySheetA");
    return function(header);
}

struct StandIn {
    HMODULE module = nullptr;
    StiStandInDefaultsFunction defaults = nullptr;
    StiStandInConfigureFunction configure = nullptr;
    StiStandInReadLogFunction readLog = nullptr;
    StiStandInClearLogFunction clearLog = nullptr;
};

class UtilityPage : public testing::Test {
protected:
    static void SetUpTestSuite() {
        kiva = LoadLibraryA("kiva4cpl.dll");
        // kiva4cpl.dll imports sti.dll; with the override this is the stand-in beside the test.
        standIn.module = GetModuleHandleA("sti.dll");
        standIn.defaults =
            procedure<StiStandInDefaultsFunction>(standIn.module, "StiStandInDefaults");
        standIn.configure =
            procedure<StiStandInConfigureFunction>(standIn.module, "StiStandInConfigure");
        standIn.readLog = procedure<StiStandInReadLogFunction>(standIn.module, "StiStandInReadLog");
        standIn.clearLog =
            procedure<StiStandInClearLogFunction>(standIn.module, "StiStandInClearLog");
    }
    static void TearDownTestSuite() { FreeLibrary(kiva); }

    void SetUp() override {
        ASSERT_NE(kiva, nullptr);
        ASSERT_TRUE(standIn.configure && standIn.readLog)
            << "sti.dll is not the stand-in: run with WINEDLLOVERRIDES=sti=n";
        enumStiPropPages = procedure<EnumStiPropPagesFunction>(kiva, "EnumStiPropPages");
        ASSERT_NE(enumStiPropPages, nullptr);
        cleanRegistry();
        standIn.defaults(&device);
        standIn.clearLog();
        setDevice(4, L"Orvani 4800");
    }
    void TearDown() override {
        closeSheet();
        cleanRegistry();
        StiStandInConfig defaults{};
        standIn.defaults(&defaults);
        standIn.configure(&defaults);
    }
    static void cleanRegistry() {
        deleteRegistryValue(scannerKey, "SelectedScanner");
        deleteRegistryValue(scannerKey, "PrimaryInterface");
        deleteRegistryValue(calibrationKey, "GammaIndex");
    }

    void setDevice(DWORD hardwareConfiguration, const std::wstring& text) {
        description = text;
        information = STI_DEVICE_INFORMATIONW{};
        information.dwSize = sizeof information;
        information.DeviceType = StiDeviceTypeScanner;
        wcsncpy(information.szDeviceInternalName, internalName, STI_MAX_INTERNAL_NAME_LENGTH - 1);
        information.dwHardwareConfiguration = hardwareConfiguration;
        information.pszDeviceDescription = description.data();
    }

    static BOOL CALLBACK addPage(HPROPSHEETPAGE page, LPARAM argument) {
        auto* self = reinterpret_cast<UtilityPage*>(argument);
        self->offered.push_back(page);
        return self->acceptPages;
    }

    // Adds the page the way the control panel does and shows the sheet; message boxes the page
    // raises meanwhile are recorded and answered with OK.
    void openSheet() {
        standIn.configure(&device);
        offered.clear();
        DialogAnswerer answerer({"Error"}, IDOK);
        added = enumStiPropPages(&information, addPage, reinterpret_cast<LPARAM>(this));
        ASSERT_TRUE(added);
        ASSERT_EQ(offered.size(), 1u);
        PROPSHEETHEADERA header{};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_MODELESS;
        header.pszCaption = "Orvani 4800 Properties";
        header.nPages = 1;
        header.phpage = offered.data();
        sheet = reinterpret_cast<HWND>(propertySheet(&header));
        ASSERT_NE(sheet, nullptr);
        page = PropSheet_GetCurrentPageHwnd(sheet);
        ASSERT_NE(page, nullptr);
        pumpMessages();
        messageBoxes = answerer.seen();
    }
    void closeSheet() {
        if (sheet == nullptr) return;
        DestroyWindow(sheet);
        pumpMessages();
        sheet = nullptr;
        page = nullptr;
    }
    void cancelSheet() {
        PropSheet_PressButton(sheet, PSBTN_CANCEL);
        pumpMessages();
        closeSheet();
    }

    std::string interfaceLabel() const { return windowText(GetDlgItem(page, IDC_INTERFACE_LABEL)); }
    std::string optionLabel() const { return windowText(GetDlgItem(page, IDC_OPTION_LABEL)); }
    bool checked() const { return IsDlgButtonChecked(page, IDC_DEFAULT_SCANNER) == BST_CHECKED; }
    void clickDefaultScanner() const {
        SendMessageA(GetDlgItem(page, IDC_DEFAULT_SCANNER), BM_CLICK, 0, 0);
    }
    bool applyEnabled() const { return IsWindowEnabled(GetDlgItem(sheet, applyButton)) != FALSE; }
    void apply() const { PropSheet_Apply(sheet); }
    StiStandInLog log() const {
        StiStandInLog entries{};
        standIn.readLog(&entries);
        return entries;
    }
    std::vector<std::string> failureMessages() const {
        std::vector<std::string> texts;
        for (const auto& box : messageBoxes) {
            for (const std::string& text : box.texts) {
                if (text == "GetStatus Failed.") texts.push_back(text);
            }
        }
        return texts;
    }

    static HMODULE kiva;
    static StandIn standIn;
    EnumStiPropPagesFunction enumStiPropPages = nullptr;
    StiStandInConfig device{};
    std::wstring description;
    STI_DEVICE_INFORMATIONW information{};
    std::vector<HPROPSHEETPAGE> offered;
    BOOL acceptPages = TRUE;
    BOOL added = FALSE;
    HWND sheet = nullptr;
    HWND page = nullptr;
    std::vector<DialogAnswerer::Seen> messageBoxes;
};
HMODULE UtilityPage::kiva = nullptr;
StandIn UtilityPage::standIn;

TEST_F(UtilityPage, AsksTheDeviceUnderLockAndReleasesEverything) {
    openSheet();
    const StiStandInLog opened = log();
    EXPECT_STREQ(opened.calls, "ICLZWRRUD");
    EXPECT_EQ(opened.createVersion, 2u);
    EXPECT_EQ(opened.createMode, DWORD{STI_DEVICE_CREATE_DATA});
    EXPECT_EQ(opened.lockTimeout, 2000u);
    EXPECT_TRUE(opened.waitCursorAtCreate) << "the wait cursor shows while the device is asked";
    EXPECT_NE(GetCursor(), LoadCursor(nullptr, IDC_WAIT)) << "and goes afterwards";
    EXPECT_EQ(std::wstring(opened.deviceName), internalName);
    ASSERT_EQ(opened.lastWriteSize, 2u);
    EXPECT_EQ(opened.lastWrite[0], 0x1B);
    EXPECT_EQ(opened.lastWrite[1], 'f');
    EXPECT_EQ(opened.replyBytesLeft, 0u);
    EXPECT_EQ(opened.liveDevices, 0) << "the device is released once the page is filled";
    EXPECT_EQ(opened.liveStillImages, 1) << "the STI object lives as long as the page";

    closeSheet();
    const StiStandInLog closed = log();
    EXPECT_STREQ(closed.calls, "ICLZWRRUDS");
    EXPECT_EQ(closed.liveStillImages, 0);
}

struct InterfaceCase {
    DWORD hardware;
    const char* label;
};

void PrintTo(const InterfaceCase& c, std::ostream* os) { *os << "interface " << c.hardware; }

class UtilityPageInterface : public UtilityPage,
                             public testing::WithParamInterface<InterfaceCase> {};

TEST_P(UtilityPageInterface, ShowsTheInterfaceLabel) {
    setDevice(GetParam().hardware, L"Orvani 4800");
    openSheet();
    EXPECT_EQ(interfaceLabel(), GetParam().label);
    EXPECT_EQ(optionLabel(), "NONE");
    EXPECT_TRUE(failureMessages().empty());
}

INSTANTIATE_TEST_SUITE_P(Types, UtilityPageInterface,
                         testing::Values(InterfaceCase{2, "SCSI"}, InterfaceCase{4, "USB"},
                                         InterfaceCase{8, "Unknown"}, InterfaceCase{1, "Unknown"}));

struct OptionCase {
    std::uint8_t feeder;
    std::uint8_t film;
    const char* label;
};

void PrintTo(const OptionCase& c, std::ostream* os) {
    *os << "feeder " << int(c.feeder) << ", film " << int(c.film);
}

class UtilityPageOption : public UtilityPage, public testing::WithParamInterface<OptionCase> {};

TEST_P(UtilityPageOption, ShowsTheAttachedOption) {
    device.feederStatus = GetParam().feeder;
    device.filmStatus = GetParam().film;
    openSheet();
    EXPECT_EQ(optionLabel(), GetParam().label);
    EXPECT_EQ(interfaceLabel(), "USB");
    EXPECT_TRUE(failureMessages().empty());
}

INSTANTIATE_TEST_SUITE_P(StatusBits, UtilityPageOption,
                         testing::Values(OptionCase{0x80, 0x00, "Auto Document Feeder"},
                                         OptionCase{0x00, 0x80, "Film Adapter"},
                                         OptionCase{0x00, 0x00, "NONE"},
                                         OptionCase{0x80, 0x80, "Auto Document Feeder"},
                                         OptionCase{0x4E, 0x42, "NONE"}));

TEST_F(UtilityPage, ReadsAndDropsStatusDataBeyondTheBuffer) {
    device.filmStatus = 0x80;
    device.extraDataBytes = 100;  // 112 data bytes announced, 76 fit the buffer
    openSheet();
    EXPECT_EQ(optionLabel(), "Film Adapter");
    EXPECT_TRUE(failureMessages().empty());
    const StiStandInLog entries = log();
    EXPECT_EQ(entries.bytesRead, 4u + 112u);
    EXPECT_EQ(entries.replyBytesLeft, 0u) << "the reply is consumed whole";
}

struct UnreachableCase {
    const char* name;
    bool noStillImage;
    const char* calls;
};

void PrintTo(const UnreachableCase& c, std::ostream* os) { *os << c.name; }

class UtilityPageUnreachable : public UtilityPage,
                               public testing::WithParamInterface<UnreachableCase> {};

TEST_P(UtilityPageUnreachable, ShowsNotConnectedAndStillTheStoredChoice) {
    device.noStillImage = GetParam().noStillImage;
    device.unreachable = 1;
    setRegistryString(scannerKey, "SelectedScanner", "Orvani 4800");
    setRegistryDword(scannerKey, "PrimaryInterface", 4);
    openSheet();
    EXPECT_EQ(interfaceLabel(), "Not Connected");
    EXPECT_EQ(optionLabel(), "Unknown");
    EXPECT_TRUE(checked());
    EXPECT_TRUE(messageBoxes.empty());
    EXPECT_STREQ(log().calls, GetParam().calls);
    closeSheet();
    EXPECT_EQ(log().liveStillImages, 0);
}

INSTANTIATE_TEST_SUITE_P(Ways, UtilityPageUnreachable,
                         testing::Values(UnreachableCase{"no device", false, "IC"},
                                         UnreachableCase{"no STI object", true, "I"}));

struct FailedStatusCase {
    const char* name;
    std::int32_t failWrite;
    std::int32_t failRead;
    std::uint8_t mark;
    const char* calls;
};

void PrintTo(const FailedStatusCase& c, std::ostream* os) { *os << c.name; }

class UtilityPageFailedStatus : public UtilityPage,
                                public testing::WithParamInterface<FailedStatusCase> {};

TEST_P(UtilityPageFailedStatus, ReportsGetStatusFailedAndShowsNone) {
    device.failWrite = GetParam().failWrite;
    device.failRead = GetParam().failRead;
    device.replyMark = GetParam().mark;
    device.feederStatus = 0x80;  // not to be believed from a failed exchange
    setDevice(2, L"Orvani 4800");
    openSheet();
    ASSERT_EQ(messageBoxes.size(), 1u);
    EXPECT_EQ(failureMessages(), std::vector<std::string>{"GetStatus Failed."});
    EXPECT_EQ(messageBoxes[0].owner, nullptr);
    EXPECT_EQ(optionLabel(), "NONE");
    EXPECT_EQ(interfaceLabel(), "SCSI");
    EXPECT_STREQ(log().calls, GetParam().calls) << "the device is still unlocked and released";
}

INSTANTIATE_TEST_SUITE_P(Ways, UtilityPageFailedStatus,
                         testing::Values(FailedStatusCase{"write fails", 1, 0, 0x02, "ICLZWUD"},
                                         FailedStatusCase{"read fails", 0, 1, 0x02, "ICLZWRUD"},
                                         FailedStatusCase{"reply without 0x02", 0, 0, 0x15,
                                                          "ICLZWRUD"}));

struct CheckBoxCase {
    std::optional<std::string> storedName;
    std::optional<DWORD> storedInterface;
    std::wstring description;
    DWORD hardware;
    bool checked;
};

void PrintTo(const CheckBoxCase& c, std::ostream* os) {
    *os << "stored \"" << c.storedName.value_or("(none)") << "\"/"
        << (c.storedInterface ? std::to_string(*c.storedInterface) : "(none)") << ", device "
        << c.hardware;
}

class UtilityPageCheckBox : public UtilityPage, public testing::WithParamInterface<CheckBoxCase> {};

TEST_P(UtilityPageCheckBox, ReflectsTheStoredDefaultScanner) {
    const CheckBoxCase& c = GetParam();
    if (c.storedName) setRegistryString(scannerKey, "SelectedScanner", *c.storedName);
    if (c.storedInterface) setRegistryDword(scannerKey, "PrimaryInterface", *c.storedInterface);
    setDevice(c.hardware, c.description);
    openSheet();
    EXPECT_EQ(checked(), c.checked);
    EXPECT_FALSE(applyEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Registry, UtilityPageCheckBox,
    testing::Values(CheckBoxCase{"Orvani 4800", 4, L"Orvani 4800", 4, true},
                    CheckBoxCase{"Orvani 4800", 2, L"Orvani 4800", 4, false},
                    CheckBoxCase{"Orvani 4800", std::nullopt, L"Orvani 4800", 1, true},
                    CheckBoxCase{"Orvani 4801", 4, L"Orvani 4800", 4, false},
                    CheckBoxCase{std::nullopt, std::nullopt, L"Orvani 4800", 1, false},
                    // A description that does not convert is never the stored default, not
                    // even when nothing is stored.
                    CheckBoxCase{"", 4, L"\u263A", 4, false},
                    // Descriptions are cut to 79 bytes, the stored name compares with that.
                    CheckBoxCase{std::string(79, 'D'), 4, std::wstring(120, L'D'), 4, true},
                    // A stored name too long for the page's buffer matches nothing.
                    CheckBoxCase{std::string(120, 'D'), 4, std::wstring(120, L'D'), 4, false}));

TEST_F(UtilityPage, TogglingWithoutApplyWritesNothing) {
    openSheet();
    ASSERT_FALSE(checked());
    clickDefaultScanner();
    EXPECT_TRUE(checked());
    EXPECT_TRUE(applyEnabled()) << "the page tells the sheet it changed";
    clickDefaultScanner();
    clickDefaultScanner();
    cancelSheet();
    EXPECT_FALSE(registryString(scannerKey, "SelectedScanner"));
    EXPECT_FALSE(registryDword(scannerKey, "PrimaryInterface"));
}

TEST_F(UtilityPage, ApplyWritesTheRememberedValues) {
    setDevice(2, L"Orvani 4800");
    openSheet();
    clickDefaultScanner();
    apply();
    EXPECT_EQ(registryString(scannerKey, "SelectedScanner"), "Orvani 4800");
    EXPECT_EQ(registryDword(scannerKey, "PrimaryInterface"), 2u);

    clickDefaultScanner();
    EXPECT_FALSE(checked());
    apply();
    EXPECT_EQ(registryString(scannerKey, "SelectedScanner"), "");
    EXPECT_EQ(registryDword(scannerKey, "PrimaryInterface"), 1u);
}

TEST_F(UtilityPage, ApplyWithoutChangesKeepsTheStoredValues) {
    setRegistryString(scannerKey, "SelectedScanner", "Another Scanner");
    setRegistryDword(scannerKey, "PrimaryInterface", 2);
    openSheet();
    apply();
    EXPECT_EQ(registryString(scannerKey, "SelectedScanner"), "Another Scanner");
    EXPECT_EQ(registryDword(scannerKey, "PrimaryInterface"), 2u);
}

TEST_F(UtilityPage, ApplyLeavesAStoredNameTooLongForThePageAlone) {
    const std::string stored(120, 'L');
    setRegistryString(scannerKey, "SelectedScanner", stored);
    setRegistryDword(scannerKey, "PrimaryInterface", 2);
    openSheet();
    apply();
    EXPECT_EQ(registryString(scannerKey, "SelectedScanner"), stored);
    EXPECT_EQ(registryDword(scannerKey, "PrimaryInterface"), 2u);

    clickDefaultScanner();
    apply();
    EXPECT_EQ(registryString(scannerKey, "SelectedScanner"), "Orvani 4800");
    EXPECT_EQ(registryDword(scannerKey, "PrimaryInterface"), 4u);
}

TEST_F(UtilityPage, ApplyStoresALongDescriptionCutToSeventyNineBytes) {
    setDevice(4, std::wstring(150, L'W'));
    openSheet();
    clickDefaultScanner();
    apply();
    EXPECT_EQ(registryString(scannerKey, "SelectedScanner"), std::string(79, 'W'));
}

TEST_F(UtilityPage, RefusedPageIsDestroyedAndReported) {
    acceptPages = FALSE;
    offered.clear();
    EXPECT_FALSE(enumStiPropPages(&information, addPage, reinterpret_cast<LPARAM>(this)));
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_NE(offered[0], nullptr);
    EXPECT_STREQ(log().calls, "") << "a page that was never shown never asks the device";

    acceptPages = TRUE;
    openSheet();
    EXPECT_EQ(interfaceLabel(), "USB");
}

TEST_F(UtilityPage, CalibrationButtonOpensTheScreenCalibrationOverThePage) {
    openSheet();
    DialogAnswerer answerer({"Screen Calibration"}, IDCANCEL);
    SendMessageA(GetDlgItem(page, IDC_CALIBRATE_BUTTON), BM_CLICK, 0, 0);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].owner, sheet);
    EXPECT_FALSE(registryDword(calibrationKey, "GammaIndex")) << "cancelled: nothing stored";
}

TEST_F(UtilityPage, CalibrationButtonIsDrawnFromTheBitmapOfItsState) {
    openSheet();
    HWND button = GetDlgItem(page, IDC_CALIBRATE_BUTTON);
    SetForegroundWindow(sheet);
    // The button is the page's first tab stop and starts with the focus; move it away.
    SetFocus(GetDlgItem(page, IDC_DEFAULT_SCANNER));
    RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const Pixels normal = clientPixels(button);
    ASSERT_GT(normal.width, 0);
    EXPECT_EQ(normal.at(0, 0), RGB(255, 255, 255)) << "raised edge, light at the top left";

    SendMessageA(button, BM_SETSTATE, TRUE, 0);
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const Pixels pressed = clientPixels(button);
    EXPECT_EQ(pressed.at(0, 0), RGB(0, 0, 0)) << "sunken edge, dark at the top left";
    SendMessageA(button, BM_SETSTATE, FALSE, 0);

    SetFocus(button);
    ASSERT_EQ(GetFocus(), button);
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const Pixels focused = clientPixels(button);
    EXPECT_EQ(focused.at(0, 0), RGB(255, 255, 255));
    EXPECT_NE(focused.colours, normal.colours) << "the focused look has its focus rectangle";
    EXPECT_NE(focused.colours, pressed.colours);
}

TEST_F(UtilityPage, KeepsAScreenshot) {
    device.feederStatus = 0x80;
    setRegistryString(scannerKey, "SelectedScanner", "Orvani 4800");
    setRegistryDword(scannerKey, "PrimaryInterface", 4);
    openSheet();
    EXPECT_TRUE(checked());
    EXPECT_TRUE(saveScreenshot(sheet, "utility_page.png"));
}

}  // namespace
}  // namespace kiva4cpl::test

// Before the first window of the process (see WineWithoutWindowManager).
static kiva4cpl::test::WineWithoutWindowManager windowSettings;
