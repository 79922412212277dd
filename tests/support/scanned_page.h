// What a test collects from one page: the InitAcquire result, every AcquireImage result and the
// output rows in page order; and a progress callback that records what the library reports.
#pragma once

#include <vector>

#include "tests/support/byte_assertions.h"
#include "vexscan/api/vexscan.h"

namespace vexscan::test {

struct ScannedPage {
    InitAcquireResult init{};
    std::vector<AcquireImageResult> calls;
    std::vector<Bytes> rows;  // output rows in page order, each bytesPerLine long
};

// Progress percentages reported by the library, in order.
inline std::vector<int32_t> reportedProgress;
inline void VEXSCAN_CALL recordProgress(int32_t percent) { reportedProgress.push_back(percent); }

}  // namespace vexscan::test
