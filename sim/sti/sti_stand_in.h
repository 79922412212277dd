// Control interface of the stand-in sti.dll used by the control-panel tests. The stand-in answers
// StiCreateInstanceW with an IStillImage whose one device answers raw ESC f transfers from the
// status set here; it records what the caller did so a test can check the whole sequence.
#pragma once

#include <windows.h>

#include <cstdint>

extern "C" {

struct StiStandInConfig {
    std::int32_t noStillImage;  // StiCreateInstanceW fails and hands out no object
    std::int32_t unreachable;   // CreateDevice fails: the scanner is not connected
    std::int32_t failWrite;     // every RawWriteData fails
    std::int32_t failRead;      // every RawReadData fails
    std::uint8_t replyMark;     // first byte of the ESC f reply; 0x02 from a healthy device
    std::uint8_t headerStatus;
    std::uint8_t mainStatus;
    std::uint8_t feederStatus;  // bit 0x80: document feeder attached
    std::uint8_t filmStatus;    // bit 0x80: film adapter attached
    std::uint8_t furtherStatus;
    std::uint16_t feederWidth;
    std::uint16_t feederHeight;
    std::uint16_t filmWidth;
    std::uint16_t filmHeight;
    std::uint16_t extraDataBytes;  // data bytes beyond the classic 12
};

// One letter per call, in order: I StiCreateInstanceW, C CreateDevice, L LockDevice, Z DeviceReset,
// W RawWriteData, R RawReadData, U UnLockDevice, D device released, S STI object released.
struct StiStandInLog {
    char calls[128];
    std::uint32_t createVersion;  // dwVer of StiCreateInstanceW
    std::uint32_t createMode;     // dwMode of CreateDevice
    std::uint32_t lockTimeout;    // of the last LockDevice
    wchar_t deviceName[128];      // of the last CreateDevice
    std::uint8_t lastWrite[16];
    std::uint32_t lastWriteSize;
    std::uint32_t bytesRead;          // handed out by RawReadData since the log was cleared
    std::uint32_t replyBytesLeft;     // of the last ESC f reply, not yet read
    std::int32_t liveStillImages;     // references held on the STI object
    std::int32_t liveDevices;         // references held on the device
    std::int32_t waitCursorAtCreate;  // the caller showed the wait cursor at CreateDevice
};

// A healthy flatbed with nothing attached.
void WINAPI StiStandInDefaults(StiStandInConfig* config);
void WINAPI StiStandInConfigure(const StiStandInConfig* config);
void WINAPI StiStandInReadLog(StiStandInLog* log);
void WINAPI StiStandInClearLog();

using StiStandInDefaultsFunction = void(WINAPI*)(StiStandInConfig*);
using StiStandInConfigureFunction = void(WINAPI*)(const StiStandInConfig*);
using StiStandInReadLogFunction = void(WINAPI*)(StiStandInLog*);
using StiStandInClearLogFunction = void(WINAPI*)();
}
