#include "vexscan/classic/classic_scanner.h"

#include "vexscan/comm/comm_port.h"

namespace vexscan {
namespace {
constexpr int32_t kErrorPortRefused = 37;
constexpr int32_t kErrorDeviceFault = 22;
}  // namespace

ClassicScanner::ClassicScanner(CommPort& port, ScanParamBlock* block)
    : ScannerDevice(port), block_(block) {}

int32_t ClassicScanner::Open() {
    if (isOpen_ != 0) {
        return 1;
    }
    const int32_t opened = port().openPort();
    if (opened == kPortRefused) {
        errorCode_ = kErrorPortRefused;
        return 0;
    }
    if (opened != 1) {
        errorCode_ = kErrorDeviceFault;
        return 0;
    }
    isOpen_ = 1;
    return 1;
}

void ClassicScanner::Close() {
    if (isOpen_ == 0) {
        return;
    }
    port().closePort();
    isOpen_ = 0;
}

int32_t ClassicScanner::GetError() { return errorCode_; }

int32_t ClassicScanner::EnableOption(int32_t) { return 0; }

int32_t ClassicScanner::Abort() { return 0; }

void ClassicScanner::InitAcquire(int32_t, ProgressCallback, InitAcquireResult* result) {
    result->status = 2;
}

void ClassicScanner::AcquireImage(uint8_t*, uint32_t, AcquireImageResult* result) {
    result->status = 2;
}

int32_t ClassicScanner::GetOptionStatus(int32_t) { return errorCode_; }

int8_t ClassicScanner::SetFocus(int32_t, int32_t focusPosition) {
    return static_cast<int8_t>(static_cast<uint8_t>(focusPosition & 0xFF));
}

int32_t ClassicScanner::GetScanPaperSize(int32_t, int32_t*, int32_t*) { return errorCode_; }

int32_t ClassicScanner::GetScannerName(char*) { return 0; }

}  // namespace vexscan
