// ProbeScanner: lives only while a connection opens, to ask the device which command family it
// speaks.
#pragma once

#include "vexscan/device/scanner_device.h"

namespace vexscan {

class ProbeScanner final : public ScannerDevice {
public:
    using ScannerDevice::ScannerDevice;

    int32_t EnableOption(int32_t enable) override;
    void Close() override;
    int32_t Open() override;
    int32_t GetError() override;
    int32_t Abort() override;
    void InitAcquire(int32_t layoutCode, ProgressCallback progressCallback,
                     InitAcquireResult* result) override;
    void AcquireImage(uint8_t* buffer, uint32_t bufferSize, AcquireImageResult* result) override;
    int32_t GetOptionStatus(int32_t optionKind) override;
    int8_t SetFocus(int32_t autoFocus, int32_t focusPosition) override;
    int32_t GetScanPaperSize(int32_t sizeSelector, int32_t* width, int32_t* height) override;
    int32_t GetScannerName(char* name) override;

    // ESC I and its reply; true when a reply starting with STX arrived in full.
    bool identify();

    uint8_t identityStatus() const { return identityStatus_; }

private:
    int32_t portOpen_ = 0;
    uint8_t identityStatus_ = 0;
};

// Bit of the identity reply's status byte that marks a device of the extended family.
inline constexpr uint8_t kIdentityExtendedFamily = 0x02;

// The open-time probe: 1 with `extendedFamily` set when the device speaks the extended family (and
// left alone otherwise), 37 when the driver refused the port, 0 on any other failure.
int32_t probeDevice(CommPort& port, bool& extendedFamily);

}  // namespace vexscan
