// The stand-in sti.dll: one STI object and one scanner device, both living as long as the
// module, counted by their references instead of being freed.
#include "sim/sti/sti_stand_in.h"

#include <sti.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "sim/sti/status_reply.h"

namespace {

StiStandInConfig defaultConfig() {
    StiStandInConfig config{};
    config.replyMark = 0x02;
    return config;
}

struct StandInState {
    StiStandInConfig config = defaultConfig();
    StiStandInLog log{};
    std::vector<std::uint8_t> reply;  // the ESC f reply still to be read
    std::size_t replyRead = 0;
};

StandInState& standIn() {
    static StandInState state;
    return state;
}

void record(char call) {
    char* calls = standIn().log.calls;
    const std::size_t used = std::strlen(calls);
    if (used + 1 < sizeof standIn().log.calls) calls[used] = call;
}

void updateReplyLeft() {
    StandInState& state = standIn();
    state.log.replyBytesLeft = static_cast<std::uint32_t>(state.reply.size() - state.replyRead);
}

sim::sti::ClassicStatus statusFromConfig(const StiStandInConfig& config) {
    sim::sti::ClassicStatus status;
    status.headerStatus = config.headerStatus;
    status.mainStatus = config.mainStatus;
    status.feederStatus = config.feederStatus;
    status.feederWidth = config.feederWidth;
    status.feederHeight = config.feederHeight;
    status.filmStatus = config.filmStatus;
    status.filmWidth = config.filmWidth;
    status.filmHeight = config.filmHeight;
    status.furtherStatus = config.furtherStatus;
    return status;
}

constexpr HRESULT notSupported = E_NOTIMPL;
constexpr HRESULT deviceFailure = HRESULT_FROM_WIN32(ERROR_GEN_FAILURE);

class StandInDevice final : public IStiDevice {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, LPVOID* object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(++standIn().log.liveDevices);
    }
    ULONG STDMETHODCALLTYPE Release() override {
        record('D');
        return static_cast<ULONG>(--standIn().log.liveDevices);
    }
    HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, LPCWSTR, DWORD, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetCapabilities(PSTI_DEV_CAPS) override { return notSupported; }
    HRESULT STDMETHODCALLTYPE GetStatus(PSTI_DEVICE_STATUS) override { return notSupported; }
    HRESULT STDMETHODCALLTYPE DeviceReset() override {
        record('Z');
        standIn().reply.clear();
        standIn().replyRead = 0;
        updateReplyLeft();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Diagnostic(LPSTI_DIAG) override { return notSupported; }
    HRESULT STDMETHODCALLTYPE Escape(STI_RAW_CONTROL_CODE, LPVOID, DWORD, LPVOID, DWORD,
                                     LPDWORD) override {
        return notSupported;
    }
    HRESULT STDMETHODCALLTYPE GetLastError(LPDWORD) override { return notSupported; }
    HRESULT STDMETHODCALLTYPE LockDevice(DWORD timeout) override {
        record('L');
        standIn().log.lockTimeout = timeout;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UnLockDevice() override {
        record('U');
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RawReadData(LPVOID buffer, LPDWORD count, LPOVERLAPPED) override {
        record('R');
        StandInState& state = standIn();
        if (state.config.failRead || count == nullptr) return deviceFailure;
        const std::size_t left = state.reply.size() - state.replyRead;
        if (left == 0 && *count > 0) return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
        const std::size_t handed = std::min<std::size_t>(*count, left);
        std::memcpy(buffer, state.reply.data() + state.replyRead, handed);
        state.replyRead += handed;
        state.log.bytesRead += static_cast<std::uint32_t>(handed);
        *count = static_cast<DWORD>(handed);
        updateReplyLeft();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RawWriteData(LPVOID buffer, DWORD count, LPOVERLAPPED) override {
        record('W');
        StandInState& state = standIn();
        const DWORD kept = std::min<DWORD>(count, sizeof state.log.lastWrite);
        std::memcpy(state.log.lastWrite, buffer, kept);
        state.log.lastWriteSize = count;
        if (state.config.failWrite) return deviceFailure;
        const auto* bytes = static_cast<const std::uint8_t*>(buffer);
        if (count == 2 && bytes[0] == 0x1B && bytes[1] == 'f') {
            state.reply =
                sim::sti::classicStatusReply(statusFromConfig(state.config), state.config.replyMark,
                                             state.config.extraDataBytes);
            state.replyRead = 0;
            updateReplyLeft();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RawReadCommand(LPVOID, LPDWORD, LPOVERLAPPED) override {
        return notSupported;
    }
    HRESULT STDMETHODCALLTYPE RawWriteCommand(LPVOID, DWORD, LPOVERLAPPED) override {
        return notSupported;
    }
    HRESULT STDMETHODCALLTYPE Subscribe(LPSTISUBSCRIBE) override { return notSupported; }
    HRESULT STDMETHODCALLTYPE GetLastNotificationData(LPSTINOTIFY) override { return notSupported; }
    HRESULT STDMETHODCALLTYPE UnSubscribe() override { return notSupported; }
    HRESULT STDMETHODCALLTYPE GetLastErrorInfo(STI_ERROR_INFO*) override { return notSupported; }
};

StandInDevice& device() {
    static StandInDevice theDevice;
    return theDevice;
}

class StandInStillImage final : public IStillImageW {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, LPVOID* object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(++standIn().log.liveStillImages);
    }
    ULONG STDMETHODCALLTYPE Release() override {
        record('S');
        return static_cast<ULONG>(--standIn().log.liveStillImages);
    }
    HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetDeviceList(DWORD, DWORD, DWORD*, LPVOID*) override {
        return notSupported;
    }
    HRESULT STDMETHODCALLTYPE GetDeviceInfo(LPWSTR, LPVOID*) override { return notSupported; }
    HRESULT STDMETHODCALLTYPE CreateDevice(LPWSTR name, DWORD mode, PSTIDEVICE* created,
                                           LPUNKNOWN) override {
        record('C');
        StandInState& state = standIn();
        state.log.createMode = mode;
        state.log.waitCursorAtCreate = GetCursor() == LoadCursor(nullptr, IDC_WAIT);
        std::wcsncpy(state.log.deviceName, name, std::size(state.log.deviceName) - 1);
        if (state.config.unreachable) {
            *created = nullptr;
            return HRESULT_FROM_WIN32(ERROR_DEV_NOT_EXIST);
        }
        device().AddRef();
        *created = &device();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDeviceValue(LPWSTR, LPWSTR, LPDWORD, LPBYTE, LPDWORD) override {
        return notSupported;
    }
    HRESULT STDMETHODCALLTYPE SetDeviceValue(LPWSTR, LPWSTR, DWORD, LPBYTE, DWORD) override {
        return notSupported;
    }
    HRESULT STDMETHODCALLTYPE GetSTILaunchInformation(LPWSTR, DWORD*, LPWSTR) override {
        return notSupported;
    }
    HRESULT STDMETHODCALLTYPE RegisterLaunchApplication(LPWSTR, LPWSTR) override {
        return notSupported;
    }
    HRESULT STDMETHODCALLTYPE UnregisterLaunchApplication(LPWSTR) override { return notSupported; }
    HRESULT STDMETHODCALLTYPE EnableHwNotifications(LPCWSTR, WINBOOL) override {
        return notSupported;
    }
    HRESULT STDMETHODCALLTYPE GetHwNotificationState(LPCWSTR, WINBOOL*) override {
        return notSupported;
    }
    HRESULT STDMETHODCALLTYPE RefreshDeviceBus(LPCWSTR) override { return notSupported; }
    HRESULT STDMETHODCALLTYPE LaunchApplicationForDevice(LPWSTR, LPWSTR, LPSTINOTIFY) override {
        return notSupported;
    }
    HRESULT STDMETHODCALLTYPE SetupDeviceParameters(PSTI_DEVICE_INFORMATIONW) override {
        return notSupported;
    }
    HRESULT STDMETHODCALLTYPE WriteToErrorLog(DWORD, LPCWSTR) override { return notSupported; }
};

StandInStillImage& stillImage() {
    static StandInStillImage theStillImage;
    return theStillImage;
}

}  // namespace

extern "C" HRESULT WINAPI StiCreateInstanceW(HINSTANCE, DWORD version, IStillImageW** created,
                                             LPUNKNOWN) {
    record('I');
    StandInState& state = standIn();
    state.log.createVersion = version;
    if (created == nullptr) return E_POINTER;
    if (state.config.noStillImage) {
        *created = nullptr;
        return E_FAIL;
    }
    stillImage().AddRef();
    *created = &stillImage();
    return S_OK;
}

extern "C" void WINAPI StiStandInDefaults(StiStandInConfig* config) { *config = defaultConfig(); }

extern "C" void WINAPI StiStandInConfigure(const StiStandInConfig* config) {
    standIn().config = *config;
}

extern "C" void WINAPI StiStandInReadLog(StiStandInLog* log) { *log = standIn().log; }

extern "C" void WINAPI StiStandInClearLog() {
    StandInState& state = standIn();
    const std::int32_t liveStillImages = state.log.liveStillImages;
    const std::int32_t liveDevices = state.log.liveDevices;
    state.log = StiStandInLog{};
    state.log.liveStillImages = liveStillImages;
    state.log.liveDevices = liveDevices;
    updateReplyLeft();
}
