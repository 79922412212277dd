// Construction of the extended device object.
#include "vexscan/extended/extended_scanner.h"

namespace vexscan {

// The reply and parameter buffers are members, zeroed here; the warm-up binding loads the data
// source and never fails the construction.
ExtendedScanner::ExtendedScanner(CommPort& port, ScanParamBlock* block)
    : ScannerDevice(port), block_(block) {}

}  // namespace vexscan
