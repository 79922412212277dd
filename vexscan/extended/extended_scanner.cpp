#include "vexscan/extended/extended_scanner.h"

#include "vexscan/comm/comm_port.h"

namespace vexscan {
namespace {
constexpr int32_t kErrorPortRefused = 37;
}  // namespace

ExtendedScanner::ExtendedScanner(CommPort& port, ScanParamBlock* block)
    : ScannerDevice(port), block_(block) {}

int32_t ExtendedScanner::Open() {
    if (isOpen_ != 0) {
        return 1;
    }
    const int32_t opened = port().openPort();
    if (opened == kPortRefused) {
        errorCode_ = kErrorPortRefused;
        return 0;
    }
    if (opened != 1) {
        return 0;
    }
    isOpen_ = 1;
    return 1;
}

void ExtendedScanner::Close() {
    if (isOpen_ == 0) {
        return;
    }
    port().closePort();
    isOpen_ = 0;
}

int32_t ExtendedScanner::GetError() { return errorCode_; }

int32_t ExtendedScanner::EnableOption(int32_t) { return 0; }

int32_t ExtendedScanner::Abort() { return 0; }

void ExtendedScanner::InitAcquire(int32_t, ProgressCallback, InitAcquireResult* result) {
    result->status = 2;
}

void ExtendedScanner::AcquireImage(uint8_t*, uint32_t, AcquireImageResult* result) {
    result->status = 2;
}

int32_t ExtendedScanner::GetOptionStatus(int32_t) { return errorCode_; }

int8_t ExtendedScanner::SetFocus(int32_t, int32_t focusPosition) {
    return static_cast<int8_t>(static_cast<uint8_t>(focusPosition & 0xFF));
}

int32_t ExtendedScanner::GetScanPaperSize(int32_t, int32_t*, int32_t*) { return errorCode_; }

int32_t ExtendedScanner::GetScannerName(char*) { return 0; }

}  // namespace vexscan
