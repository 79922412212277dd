#include "vexscan/classic/classic_scanner.h"

#include <algorithm>

#include "vexscan/comm/comm_port.h"

namespace vexscan {
namespace {
constexpr int32_t kErrorBadReply = 7;
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

}  // namespace vexscan
