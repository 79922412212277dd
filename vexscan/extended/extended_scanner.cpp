// Construction of the extended device object, and the acquisition slots still to be filled in.
#include "vexscan/extended/extended_scanner.h"

namespace vexscan {

// The reply and parameter buffers are members, zeroed here; the warm-up binding loads the data
// source and never fails the construction.
ExtendedScanner::ExtendedScanner(CommPort& port, ScanParamBlock* block)
    : ScannerDevice(port), block_(block) {}

int32_t ExtendedScanner::Abort() { return 0; }

void ExtendedScanner::InitAcquire(int32_t, ProgressCallback, InitAcquireResult* result) {
    result->status = 2;
}

void ExtendedScanner::AcquireImage(uint8_t*, uint32_t, AcquireImageResult* result) {
    result->status = 2;
}

}  // namespace vexscan
