// Helpers of the Windows tests of kiva4cpl: folders of the test run, registry and file clean-up,
// message pumping, screenshots, and answering the modal windows the module opens.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kiva4cpl::test {

// An export of a loaded module as a function of the given type, or null.
template <class Function>
Function procedure(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Folder of the running test executable, with a trailing backslash; the DLLs sit there too.
std::string executableFolder();

// <build>\artifacts\, created when missing: screenshots are kept there.
std::string artifactsFolder();

// Under Wine on a bare X server (Xvfb) nobody draws window frames, and Wine waits two seconds for a
// window manager each time it hides a window. This has Wine manage and draw its windows itself,
// so screenshots show captions and closing a dialog costs no waiting. It takes effect only
// before the process's first window; the settings live in the test prefix and are removed again
// when the object goes.
class WineWithoutWindowManager {
public:
    WineWithoutWindowManager();
    WineWithoutWindowManager(const WineWithoutWindowManager&) = delete;
    WineWithoutWindowManager& operator=(const WineWithoutWindowManager&) = delete;
    ~WineWithoutWindowManager();
};

// Captures the window as it is on screen (frame included) into artifacts\<name>.
bool saveScreenshot(HWND window, const std::string& name);

// The client area of a window as it is drawn, read back through a DIB section.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> colours;  // top row first
    COLORREF at(int x, int y) const {
        return colours[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                       static_cast<std::size_t>(x)];
    }
};
Pixels clientPixels(HWND window);

// Dispatches every message waiting for this thread, paints included.
void pumpMessages();

std::string windowText(HWND window);

// The texts of all child windows, in order.
std::vector<std::string> childTexts(HWND window);

// Registry helpers under HKEY_CURRENT_USER (the test prefix's own).
void deleteRegistryValue(const char* path, const char* name);
void setRegistryDword(const char* path, const char* name, DWORD value);
void setRegistryString(const char* path, const char* name, const std::string& text);
std::optional<DWORD> registryDword(const char* path, const char* name);
std::optional<std::string> registryString(const char* path, const char* name);

std::optional<std::vector<std::uint8_t>> readFileBytes(const std::string& path);
bool fileExists(const std::string& path);

// Runs `script` once inside the next modal message loop of this thread (a dialog box or message
// box started after this call), through a message posted to a hidden window.
class ModalScript {
public:
    explicit ModalScript(std::function<void()> script);
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;
    ~ModalScript();
    bool ran() const { return ran_; }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    std::function<void()> script_;
    HWND window_ = nullptr;
    bool ran_ = false;
};

// Watches this thread's windows being activated. Each dialog-class window whose title is one of
// the given ones is recorded with its texts and answered with the given command (IDOK,
// IDCANCEL), as a user pressing that button.
class DialogAnswerer {
public:
    struct Seen {
        std::string title;
        std::vector<std::string> texts;
        HWND owner;
    };
    DialogAnswerer(std::vector<std::string> titles, WORD answer);
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;
    ~DialogAnswerer();
    const std::vector<Seen>& seen() const { return seen_; }
    void clear() { seen_.clear(); }

private:
    static LRESULT CALLBACK hookProc(int code, WPARAM wParam, LPARAM lParam);
    std::vector<std::string> titles_;
    WORD answer_;
    std::vector<Seen> seen_;
    std::vector<HWND> answered_;
    HHOOK hook_ = nullptr;
};

}  // namespace kiva4cpl::test
