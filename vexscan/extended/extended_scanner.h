// ExtendedScanner: devices driven with FS-prefixed commands (and a few shared ESC ones).
#pragma once

#include "vexscan/device/scanner_device.h"
#include "vexscan/device/warm_up_binding.h"

namespace vexscan {

class ExtendedScanner final : public ScannerDevice {
public:
    ExtendedScanner(CommPort& port, ScanParamBlock* block);

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

private:
    ScanParamBlock* block_;
    WarmUpBinding warmUp_;
    int32_t isOpen_ = 0;
    int32_t errorCode_ = 0;
};

}  // namespace vexscan
