// The extended status exchange (ESC f): at open it tells which option is attached; the scan and
// status operations read it again for the device's condition.
#include <algorithm>
#include <cstring>

#include "vexscan/classic/classic_scanner.h"
#include "vexscan/comm/comm_port.h"

namespace vexscan {
namespace {
// Levels below this do not know ESC f.
constexpr int32_t kFirstLevelWithStatus = 2;
}  // namespace

bool ClassicScanner::readExtendedStatus(uint8_t* buffer, std::size_t capacity) {
    if (buffer == nullptr || capacity < ReplyHeader::kSize) {
        return false;
    }
    std::memset(buffer, 0, std::min(capacity, kExtendedStatusClearedBytes));
    if (levelIndex_ < kFirstLevelWithStatus) {
        return true;
    }
    if (!sendEsc(port(), 'f') || !port().readBytes(buffer, ReplyHeader::kSize)) {
        return false;
    }
    const ReplyHeader header = ReplyHeader::parse(buffer);
    if (!header.valid()) {
        return false;
    }
    return readReplyBody(port(), buffer + ReplyHeader::kSize, capacity - ReplyHeader::kSize,
                         header.count)
        .ok;
}

}  // namespace vexscan
