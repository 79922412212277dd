#include "windows_support.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>

#include "png_writer.h"

namespace kiva4cpl::test {

std::string executableFolder() {
    std::array<char, MAX_PATH> path{};
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), MAX_PATH);
    std::string folder(path.data(), length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string artifactsFolder() {
    std::string build = executableFolder();
    build.pop_back();
    build = build.substr(0, build.find_last_of("\\/") + 1);
    const std::string folder = build + "artifacts\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

namespace {

constexpr const char* wineX11Key = "Software\\Wine\\X11 Driver";

}  // namespace

WineWithoutWindowManager::WineWithoutWindowManager() {
    setRegistryString(wineX11Key, "Managed", "N");
    setRegistryString(wineX11Key, "Decorated", "N");
}

WineWithoutWindowManager::~WineWithoutWindowManager() {
    deleteRegistryValue(wineX11Key, "Managed");
    deleteRegistryValue(wineX11Key, "Decorated");
}

bool saveScreenshot(HWND window, const std::string& name) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    pumpMessages();
    RECT area{};
    GetWindowRect(window, &area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint8_t> bgrx(static_cast<std::size_t>(width) * height * 4);
    const int rows =
        GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), bgrx.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (rows != height) return false;

    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < bgrx.size(); i += 4) {
        rgb.insert(rgb.end(), {bgrx[i + 2], bgrx[i + 1], bgrx[i]});
    }
    return writePng(artifactsFolder() + name, width, height, rgb);
}

Pixels clientPixels(HWND window) {
    RECT area{};
    GetClientRect(window, &area);
    Pixels pixels;
    pixels.width = area.right;
    pixels.height = area.bottom;
    if (pixels.width <= 0 || pixels.height <= 0) return pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, section);
    BitBlt(memory, 0, 0, pixels.width, pixels.height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    pixels.colours.resize(static_cast<std::size_t>(pixels.width) * pixels.height);
    const auto* bgrx = static_cast<const std::uint8_t*>(bits);
    for (std::size_t i = 0; i < pixels.colours.size(); ++i) {
        pixels.colours[i] = RGB(bgrx[4 * i + 2], bgrx[4 * i + 1], bgrx[4 * i]);
    }
    SelectObject(memory, previous);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    return pixels;
}

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::string windowText(HWND window) {
    std::array<char, 512> text{};
    GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

namespace {

BOOL CALLBACK collectText(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<std::string>*>(list)->push_back(windowText(child));
    return TRUE;
}

}  // namespace

std::vector<std::string> childTexts(HWND window) {
    std::vector<std::string> texts;
    EnumChildWindows(window, collectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

void deleteRegistryValue(const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

void setRegistryDword(const char* path, const char* name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, path, &key) == ERROR_SUCCESS) {
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value);
        RegCloseKey(key);
    }
}

void setRegistryString(const char* path, const char* name, const std::string& text) {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, path, &key) == ERROR_SUCCESS) {
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
    }
}

std::optional<DWORD> registryDword(const char* path, const char* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, path, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> registryString(const char* path, const char* name) {
    std::array<char, 1024> text{};
    DWORD size = static_cast<DWORD>(text.size());
    if (RegGetValueA(HKEY_CURRENT_USER, path, name, RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::string(text.data());
}

std::optional<std::vector<std::uint8_t>> readFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), {});
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

constexpr UINT runScriptMessage = WM_APP + 1;
constexpr const char* scriptWindowClass = "kiva4cplTestScript";

}  // namespace

ModalScript::ModalScript(std::function<void()> script) : script_(std::move(script)) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = scriptWindowClass;
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    window_ = CreateWindowA(scriptWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    PostMessageA(window_, runScriptMessage, 0, 0);
}

ModalScript::~ModalScript() { DestroyWindow(window_); }

LRESULT CALLBACK ModalScript::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == runScriptMessage) {
        auto* self = reinterpret_cast<ModalScript*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self != nullptr && !self->ran_) {
            self->ran_ = true;
            self->script_();
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

namespace {

DialogAnswerer* activeAnswerer = nullptr;

}  // namespace

DialogAnswerer::DialogAnswerer(std::vector<std::string> titles, WORD answer)
    : titles_(std::move(titles)), answer_(answer) {
    activeAnswerer = this;
    hook_ = SetWindowsHookExA(WH_CBT, hookProc, nullptr, GetCurrentThreadId());
}

DialogAnswerer::~DialogAnswerer() {
    UnhookWindowsHookEx(hook_);
    activeAnswerer = nullptr;
}

LRESULT CALLBACK DialogAnswerer::hookProc(int code, WPARAM wParam, LPARAM lParam) {
    DialogAnswerer* self = activeAnswerer;
    if (code == HCBT_ACTIVATE && self != nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        std::array<char, 64> className{};
        GetClassNameA(window, className.data(), static_cast<int>(className.size()));
        const std::string title = windowText(window);
        const bool wanted =
            std::string(className.data()) == "#32770" &&
            std::find(self->titles_.begin(), self->titles_.end(), title) != self->titles_.end();
        const bool answered = std::find(self->answered_.begin(), self->answered_.end(), window) !=
                              self->answered_.end();
        if (wanted && !answered) {
            self->answered_.push_back(window);
            self->seen_.push_back({title, childTexts(window), GetWindow(window, GW_OWNER)});
            PostMessageA(window, WM_COMMAND, self->answer_, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace kiva4cpl::test
