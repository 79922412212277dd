// Waiting for the lamp: the start of a scan polls the extended status until the device no longer
// reports warming up, showing the data source's indication meanwhile.
#include "vexscan/classic/classic_scanner.h"
#include "vexscan/classic/classic_status_bits.h"
#include "vexscan/platform/platform.h"

namespace vexscan {
namespace {

constexpr int32_t kWarmUpPolls = 60;
constexpr uint32_t kWarmUpPollInterval = 1000;  // milliseconds

}  // namespace

int32_t classicStatusCheck(const uint8_t* reply) {
    const uint8_t* data = reply + ReplyHeader::kSize;
    if ((reply[1] & kStatusHeaderFault) != 0) return kErrorStatusFault;
    if ((data[kStatusFurther] & kFurtherFault) != 0) return kErrorFurtherFault;
    // The feeder byte is judged whatever option is attached.
    const uint8_t feeder = data[kStatusFeeder];
    if ((feeder & kOptionStatusValid) != 0) {
        if ((feeder & kFeederCondition14) != 0) return kErrorOption14;
        if ((feeder & kFeederCondition15) != 0) return kErrorOption15;
        if ((feeder & kFeederCondition13) != 0) return kErrorOption13;
    }
    if ((data[kStatusMain] & kMainFault) != 0) return kErrorDeviceFault;
    return 0;
}

bool ClassicScanner::waitForWarmUp() {
    uint8_t* status = statusBuffer_.data();
    if (!readExtendedStatus(status, statusBuffer_.size())) {
        errorCode_ = kErrorDeviceFault;
        return false;
    }
    if (const int32_t code = classicStatusCheck(status); code != 0) {
        errorCode_ = code;
        return false;
    }
    if ((status[ReplyHeader::kSize + kStatusMain] & kMainWarmingUp) == 0) {
        return true;
    }
    warmUp_.show(1);
    for (int32_t poll = 0; poll < kWarmUpPolls; ++poll) {
        // A fault during the wait leaves the indication up: the caller reports the fault.
        if (!readExtendedStatus(status, statusBuffer_.size())) {
            errorCode_ = kErrorDeviceFault;
            return false;
        }
        if (const int32_t code = classicStatusCheck(status); code != 0) {
            errorCode_ = code;
            return false;
        }
        if ((status[ReplyHeader::kSize + kStatusMain] & kMainWarmingUp) == 0) {
            warmUp_.show(0);
            return true;
        }
        platform::sleepMilliseconds(kWarmUpPollInterval);
    }
    warmUp_.show(0);
    errorCode_ = kErrorDeviceFault;
    return false;
}

}  // namespace vexscan
