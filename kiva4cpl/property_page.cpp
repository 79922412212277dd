#include "kiva4cpl/property_page.h"

#include <commctrl.h>
#include <prsht.h>

#include <array>
#include <cstddef>
#include <string>
#include <utility>

#include "kiva4cpl/device_status.h"
#include "kiva4cpl/exports.h"
#include "kiva4cpl/module_state.h"
#include "kiva4cpl/page_rules.h"
#include "kiva4cpl/registry.h"
#include "kiva4cpl/resource_ids.h"

namespace kiva4cpl {

namespace {

// The version the page asks of the STI service, without the Unicode flag.
constexpr DWORD stiVersion = STI_VERSION_REAL;
constexpr DWORD lockTimeoutMilliseconds = 2000;

PageState& state() { return moduleState().page; }

// Loads string `id` into a buffer of `Size` characters and sets it as the control's text.
template <std::size_t Size>
void setLabel(HWND page, int control, int id) {
    std::array<char, Size> text{};
    LoadStringA(moduleState().module, static_cast<UINT>(id), text.data(), static_cast<int>(Size));
    SetDlgItemTextA(page, control, text.data());
}

const STI_DEVICE_INFORMATIONW* deviceInformation(HWND page) {
    return reinterpret_cast<const STI_DEVICE_INFORMATIONW*>(GetWindowLongPtrA(page, DWLP_USER));
}

std::string description(const STI_DEVICE_INFORMATIONW& information) {
    return convertDescription(information.pszDeviceDescription);
}

void loadBitmaps() {
    constexpr std::array<int, 3> ids = {IDB_CALIBRATE_NORMAL, IDB_CALIBRATE_PRESSED,
                                        IDB_CALIBRATE_FOCUSED};
    for (std::size_t i = 0; i < ids.size(); ++i) {
        state().bitmaps[i] =
            GdiObject<HBITMAP>(LoadBitmapA(moduleState().module, MAKEINTRESOURCEA(ids[i])));
    }
}

void readRememberedScanner() {
    PageState& page = state();
    const RegistryRead name = readRegString(HKEY_CURRENT_USER, page.keyPath.data(),
                                            selectedScannerValue, page.rememberedName, "");
    page.storedNameCut = name == RegistryRead::cut;
    page.rememberedInterface = readRegDword(HKEY_CURRENT_USER, page.keyPath.data(),
                                            primaryInterfaceValue, noDefaultInterface);
}

// Opens the scanner through the STI object; false when there is no object or no device.
bool openDevice(const STI_DEVICE_INFORMATIONW& information) {
    PageState& pageState = state();
    if (!pageState.stillImage) return false;
    IStiDevice* device = nullptr;
    const HRESULT result =
        pageState.stillImage->CreateDevice(const_cast<LPWSTR>(information.szDeviceInternalName),
                                           STI_DEVICE_CREATE_DATA, &device, nullptr);
    if (FAILED(result) || device == nullptr) return false;
    pageState.device.attach(device);
    return true;
}

void showNotConnected(HWND page) {
    setLabel<30>(page, IDC_INTERFACE_LABEL, IDS_NOT_CONNECTED);
    setLabel<30>(page, IDC_OPTION_LABEL, IDS_UNKNOWN);
}

// Asks the device itself for its option; the device is locked for the whole exchange and open
// only for it.
void queryDevice(HWND page, const STI_DEVICE_INFORMATIONW& information) {
    if (!openDevice(information)) {
        showNotConnected(page);
        return;
    }
    ComRef<IStiDevice>& device = state().device;
    device->LockDevice(lockTimeoutMilliseconds);
    device->DeviceReset();
    showInterfaceType(page, information.dwHardwareConfiguration);
    showOptionType(page);
    device->UnLockDevice();
    device.reset();
}

BOOL initialise(HWND page, const PROPSHEETPAGEA& description) {
    HCURSOR previousCursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    PageState& pageState = state();

    IStillImageW* stillImage = nullptr;
    if (SUCCEEDED(
            StiCreateInstanceW(GetModuleHandleA(nullptr), stiVersion, &stillImage, nullptr))) {
        pageState.stillImage.attach(stillImage);
    } else {
        pageState.stillImage.reset();
    }
    const auto* information = reinterpret_cast<const STI_DEVICE_INFORMATIONW*>(description.lParam);
    SetWindowLongPtrA(page, DWLP_USER, description.lParam);
    loadBitmaps();
    LoadStringA(moduleState().module, IDS_DEFAULT_SCANNER_KEY, pageState.keyPath.data(),
                static_cast<int>(pageState.keyPath.size()));
    readRememberedScanner();

    if (information != nullptr) {
        if (isDefaultScanner(
                kiva4cpl::description(*information), information->dwHardwareConfiguration,
                terminatedText(pageState.rememberedName), pageState.rememberedInterface)) {
            CheckDlgButton(page, IDC_DEFAULT_SCANNER, BST_CHECKED);
        }
        queryDevice(page, *information);
    } else {
        showNotConnected(page);
    }
    SetCursor(previousCursor);
    return TRUE;
}

BOOL drawButton(const DRAWITEMSTRUCT& item) {
    const PageState& pageState = state();
    HBITMAP bitmap = pageState.bitmaps[0].get();
    if (item.itemState & ODS_SELECTED) {
        bitmap = pageState.bitmaps[1].get();
    } else if (item.itemState & ODS_FOCUS) {
        bitmap = pageState.bitmaps[2].get();
    }
    MemoryDc memory(item.hDC);
    Selection selection(memory.get(), bitmap);
    constexpr int bitmapSize = 48;
    const RECT& area = item.rcItem;
    StretchBlt(item.hDC, area.left, area.top, area.right - area.left, area.bottom - area.top,
               memory.get(), 0, 0, bitmapSize, bitmapSize, SRCCOPY);
    return TRUE;
}

void defaultScannerClicked(HWND page) {
    const STI_DEVICE_INFORMATIONW* information = deviceInformation(page);
    if (information == nullptr) return;
    const bool checked = IsDlgButtonChecked(page, IDC_DEFAULT_SCANNER) == BST_CHECKED;
    const DefaultScannerChoice choice = defaultScannerChoice(checked, description(*information),
                                                             information->dwHardwareConfiguration);
    PageState& pageState = state();
    copyTerminated(pageState.rememberedName, choice.name);
    pageState.rememberedInterface = choice.interfaceType;
    pageState.storedNameCut = false;
    SendMessageA(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}

BOOL command(HWND page, WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wParam)) {
        case IDC_CALIBRATE_BUTTON:
            ScreenCalibration(page);
            return TRUE;
        case IDC_DEFAULT_SCANNER:
            defaultScannerClicked(page);
            return TRUE;
        default:
            return FALSE;
    }
}

void apply() {
    const PageState& pageState = state();
    // A stored name too long for the page was never shown or changed: leave it as it is rather
    // than write back the cut text.
    if (!pageState.storedNameCut) {
        writeRegString(HKEY_CURRENT_USER, pageState.keyPath.data(), selectedScannerValue,
                       pageState.rememberedName.data());
    }
    writeRegDword(HKEY_CURRENT_USER, pageState.keyPath.data(), primaryInterfaceValue,
                  pageState.rememberedInterface);
}

void destroy() {
    PageState& pageState = state();
    pageState.stillImage.reset();
    for (auto& bitmap : pageState.bitmaps) bitmap.reset();
}

}  // namespace

void showInterfaceType(HWND page, DWORD hardwareConfiguration) {
    setLabel<10>(page, IDC_INTERFACE_LABEL, interfaceLabelId(hardwareConfiguration));
}

void showOptionType(HWND page) {
    std::array<std::uint8_t, statusBufferSize> status{};
    if (!readDeviceStatus(status)) {
        MessageBoxA(nullptr, "GetStatus Failed.", nullptr, MB_OK);
    }
    setLabel<31>(page, IDC_OPTION_LABEL, optionLabelId(status));
}

INT_PTR CALLBACK utilityPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return initialise(page, *reinterpret_cast<const PROPSHEETPAGEA*>(lParam));
        case WM_DRAWITEM:
            if (wParam != IDC_CALIBRATE_BUTTON) return FALSE;
            return drawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_COMMAND:
            return command(page, wParam);
        case WM_NOTIFY:
            if (reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(PSN_APPLY)) {
                apply();
            }
            return FALSE;
        case WM_DESTROY:
            destroy();
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace kiva4cpl

extern "C" BOOL WINAPI EnumStiPropPages(PSTI_DEVICE_INFORMATIONW deviceInformation,
                                        LPFNADDPROPSHEETPAGE addPage,
                                        LPARAM addPageArgument) noexcept {
    using namespace kiva4cpl;
    // The control panel expects the original page description of 40 bytes.
    static_assert(sizeof(void*) != 4 ||
                  offsetof(PROPSHEETPAGEA, pcRefParent) + sizeof(UINT*) == 40);
    PROPSHEETPAGEA description{};
    description.dwSize = PROPSHEETPAGEA_V1_SIZE;
    description.dwFlags = PSP_DEFAULT;
    description.hInstance = moduleState().module;
    description.pszTemplate = MAKEINTRESOURCEA(IDD_UTILITY_PAGE);
    description.pfnDlgProc = utilityPageProc;
    description.lParam = reinterpret_cast<LPARAM>(deviceInformation);

    PageState& pageState = moduleState().page;
    pageState.page = CreatePropertySheetPageA(&description);
    if (pageState.page == nullptr) return FALSE;
    if (addPage != nullptr && addPage(pageState.page, addPageArgument)) return TRUE;
    DestroyPropertySheetPage(std::exchange(pageState.page, nullptr));
    return FALSE;
}
