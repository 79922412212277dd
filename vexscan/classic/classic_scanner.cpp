#include "vexscan/classic/classic_scanner.h"

#include <algorithm>

#include "vexscan/comm/comm_port.h"
#include "vexscan/device/error_codes.h"

namespace vexscan {
namespace {
// The product name sits after eight bytes the library does not use.
constexpr std::size_t kNameOffset = 8;
constexpr std::size_t kNameCharacters = 16;
}  // namespace

ClassicScanner::ClassicScanner(CommPort& port, ScanParamBlock* block)
    : ScannerDevice(port), block_(block) {}

int32_t ClassicScanner::selectOption() {
    hasOption_ =
        attachedOption_ == kOptionDocumentFeeder || attachedOption_ == kOptionFilmAdapter ? 1 : 0;
    return hasOption_ != 0 ? attachedOption_ : kOptionNone;
}

int32_t ClassicScanner::GetScannerName(char* name) {
    if (name == nullptr) {
        return 0;
    }
    if (!sendEsc(port(), '?')) {
        return 0;
    }
    if (!port().readBytes(replyBuffer, ReplyHeader::kSize)) {
        return 0;
    }
    const ReplyHeader header = ReplyHeader::parse(replyBuffer);
    if (!header.valid()) {
        errorCode_ = kErrorBadReply;
        return 0;
    }
    const ReplyBodyRead body = readReplyBody(port(), replyBuffer, sizeof replyBuffer, header.count);
    if (!body.ok) {
        return 0;
    }
    // Only bytes that arrived in this reply count: a short reply gives a short name, never what
    // an earlier reply left in replyBuffer.
    const std::size_t available = body.stored > kNameOffset ? body.stored - kNameOffset : 0;
    const std::size_t limit = std::min(available, kNameCharacters);
    std::size_t length = 0;
    while (length < limit && replyBuffer[kNameOffset + length] != 0) {
        name[length] = static_cast<char>(replyBuffer[kNameOffset + length]);
        ++length;
    }
    name[length] = '\0';
    return 1;
}

}  // namespace vexscan
