// The device side of an extended scan: the start (FS G and its 14-byte reply, with one more try
// after a warm-up wait), and the block reader that hands out the device lines one by one, reading
// a block with its status byte whenever a new one is due and answering it with ACK, or with CAN
// when the scan is being abandoned.
#include <algorithm>

#include "vexscan/comm/comm_port.h"
#include "vexscan/device/error_codes.h"
#include "vexscan/extended/extended_scanner.h"

namespace vexscan {
namespace {

constexpr uint8_t kNotReady = 0x80;
constexpr uint8_t kBlockFault = 0x80;

// Start reply offsets.
constexpr std::size_t kStartStatus = 1;
constexpr std::size_t kFullBlockBytes = 2;
constexpr std::size_t kFullBlocks = 6;
constexpr std::size_t kLastBlockBytes = 10;

}  // namespace

uint32_t ExtendedScanner::startReplyWord(std::size_t offset) const {
    return readLong(&startReply_[offset]);
}

bool ExtendedScanner::requestStart() {
    const int32_t window = block_->hostWindow;
    if (window != 0) {
        platform::repaintWindow(window);
    }
    // A refused write shows in the reply that does not come.
    sendFs(port(), 'G');
    return port().readBytes(startReply_.data(), kExtendedStartReplySize) && startReply_[0] == kStx;
}

bool ExtendedScanner::startScan() {
    if (levelIndex_ == 7 && !waitForWarmUp()) {
        return false;
    }
    if (!requestStart()) {
        errorCode_ = kErrorDeviceFault;
        return false;
    }
    if ((startReply_[kStartStatus] & kNotReady) == 0) {
        return true;
    }
    // Not ready: the lamp may still be warming up. One wait, one more try.
    if (!waitForWarmUp()) {
        return false;
    }
    if (!requestStart()) {
        errorCode_ = kErrorTransfer;
        return false;
    }
    if ((startReply_[kStartStatus] & kNotReady) == 0) {
        return true;
    }
    const int32_t code = GetOptionStatus(block_->optionKind);
    errorCode_ = code != 0 ? code : kErrorDeviceFault;
    return false;
}

bool ExtendedScanner::fetchLine(SourceLine& line) {
    const uint32_t linesPerBlock = paramBlock_.linesPerBlock != 0 ? paramBlock_.linesPerBlock : 1;
    if (linesDone_ % linesPerBlock != 0) {
        lineOffset_ += deviceLineBytes_;
    } else {
        lineOffset_ = 0;
        if (endOfData_ != 0) {
            blockDataBytes_ = 0;  // the device has sent its last block: nothing for this one
        } else if (!readBlock()) {
            return false;
        }
    }
    const uint8_t* const data = dataBuffer_.get();
    // A line the device did not send (a page clipped at the bottom of the maximum area, a short
    // block) is white paper, never what an earlier block left in the buffer.
    if (data != nullptr && lineOffset_ + deviceLineBytes_ <= blockDataBytes_) {
        line.data = std::span<const uint8_t>(data + lineOffset_, deviceLineBytes_);
    } else {
        line.data = blankLine_;
    }
    line.plane2 = {};
    line.plane3 = {};
    line.count = rowFit_.count;
    return true;
}

bool ExtendedScanner::readBlock() {
    blockDataBytes_ = 0;
    uint8_t* const buffer = dataBuffer_.get();
    const bool last = blocksFetched_ == startReplyWord(kFullBlocks);
    const uint32_t dataBytes = startReplyWord(last ? kLastBlockBytes : kFullBlockBytes);
    // The buffer holds one block of at most 65280 data bytes and its status byte; a larger
    // block is refused unread.
    if (buffer == nullptr || dataBytes > kExtendedBlockDataBytes) {
        errorCode_ = kErrorTransfer;
        return false;
    }
    if (!port().readBytes(buffer, dataBytes + 1)) {
        errorCode_ = kErrorTransfer;
        return false;
    }
    if ((buffer[dataBytes] & kBlockFault) != 0) {
        // The status names the fault; a status that names none still fails the transfer.
        const int32_t code = GetOptionStatus(block_->optionKind);
        errorCode_ = code == 0 || code == kErrorDeviceFault ? kErrorTransfer : code;
        return false;
    }
    blockDataBytes_ = dataBytes;
    if (last) {
        endOfData_ = 1;
    } else if (!answerBlock()) {
        return false;
    }
    ++blocksFetched_;
    return true;
}

bool ExtendedScanner::answerBlock() {
    const uint8_t answer = abortRequested_ != 0 ? kCan : kAck;
    if (!port().writeBytes(&answer, 1)) {
        errorCode_ = kErrorTransfer;
        return false;
    }
    if (answer == kAck) {
        return true;
    }
    if (!readAck(link())) {
        errorCode_ = kErrorTransfer;
        return false;
    }
    const int32_t optionKind = block_->optionKind;
    if (block_->useOption != 0 && optionKind == kOptionDocumentFeeder) {
        ejectPaper(link());  // the sheet goes out whether or not the device confirms it
    }
    endOfData_ = 1;
    return true;
}

}  // namespace vexscan
