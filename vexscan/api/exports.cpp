// The exported functions. Each export catches nothing and lets nothing escape: the device layer
// reports failures as integer codes, never as exceptions.
#include "vexscan/api/connection.h"
#include "vexscan/api/vexscan.h"
#include "vexscan/comm/transport.h"

using vexscan::connection;
using vexscan::ScannerDevice;

namespace {

// The device object of the current connection, or null outside the Device created and Open states.
ScannerDevice* currentDevice() { return connection().device.get(); }

}  // namespace

extern "C" {

VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMOpenScanner(ScanParamBlock* block) VEXSCAN_NOEXCEPT {
    return vexscan::openScanner(block);
}

VEXSCAN_EXPORT void VEXSCAN_CALL PMCloseScanner(void) VEXSCAN_NOEXCEPT { vexscan::closeScanner(); }

// Without a device object the forwarded exports give their failure value and touch nothing.

VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMEnableOption(int32_t enable) VEXSCAN_NOEXCEPT {
    ScannerDevice* device = currentDevice();
    return device != nullptr ? device->EnableOption(enable) : 0;
}

VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMGetScanError(void) VEXSCAN_NOEXCEPT {
    ScannerDevice* device = currentDevice();
    return device != nullptr ? device->GetError() : 0;
}

VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMAbortScan(void) VEXSCAN_NOEXCEPT {
    ScannerDevice* device = currentDevice();
    return device != nullptr ? device->Abort() : 0;
}

VEXSCAN_EXPORT void VEXSCAN_CALL PMInitAcquire(int32_t layoutCode, ProgressCallback progressCallback,
                                               InitAcquireResult* result) VEXSCAN_NOEXCEPT {
    ScannerDevice* device = currentDevice();
    if (device != nullptr) {
        device->InitAcquire(layoutCode, progressCallback, result);
    } else if (result != nullptr) {
        result->status = 2;
    }
}

VEXSCAN_EXPORT void VEXSCAN_CALL PMAcquireImage(uint8_t* buffer, uint32_t bufferSize,
                                                AcquireImageResult* result) VEXSCAN_NOEXCEPT {
    ScannerDevice* device = currentDevice();
    if (device != nullptr) {
        device->AcquireImage(buffer, bufferSize, result);
    } else if (result != nullptr) {
        result->status = 2;
    }
}

VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMGetOptionStatus(int32_t optionKind) VEXSCAN_NOEXCEPT {
    ScannerDevice* device = currentDevice();
    return device != nullptr ? device->GetOptionStatus(optionKind) : 0;
}

VEXSCAN_EXPORT int8_t VEXSCAN_CALL PMSetFocus(int32_t autoFocus, int32_t focusPosition) VEXSCAN_NOEXCEPT {
    ScannerDevice* device = currentDevice();
    return device != nullptr ? device->SetFocus(autoFocus, focusPosition) : 0;
}

VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMGetScanPaperSize(int32_t sizeSelector, int32_t* width,
                                                       int32_t* height) VEXSCAN_NOEXCEPT {
    ScannerDevice* device = currentDevice();
    return device != nullptr ? device->GetScanPaperSize(sizeSelector, width, height) : 0;
}

VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMGetScannerName(char* name) VEXSCAN_NOEXCEPT {
    ScannerDevice* device = currentDevice();
    return device != nullptr ? device->GetScannerName(name) : 0;
}

// Eject, feed and reset send their byte through the transport; the device object only lends
// its replyBuffer. The argument of eject and feed has no meaning.

VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMEject(int32_t) VEXSCAN_NOEXCEPT {
    ScannerDevice* device = currentDevice();
    return device != nullptr && vexscan::ejectPaper(device->link()) ? 1 : 0;
}

VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMFeed(int32_t) VEXSCAN_NOEXCEPT {
    ScannerDevice* device = currentDevice();
    return device != nullptr && vexscan::feedPaper(device->link()) ? 1 : 0;
}

VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMReset(void) VEXSCAN_NOEXCEPT {
    ScannerDevice* device = currentDevice();
    return device != nullptr && vexscan::resetScanner(device->link()) ? 1 : 0;
}

// The library needs no per-process or per-thread initialisation.
VEXSCAN_EXPORT int32_t VEXSCAN_CALL DllMain(void* /*module*/, uint32_t /*reason*/, void* /*reserved*/) VEXSCAN_NOEXCEPT {
    return 1;
}

}  // extern "C"
