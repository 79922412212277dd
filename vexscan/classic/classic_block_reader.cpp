// The device side of a classic scan: the start sequence up to the first block header, and the
// block reader that takes the device's data blocks apart line by line, answering each block with
// ACK, or with CAN when the transfer is being abandoned.
#include <algorithm>
#include <cstring>

#include "vexscan/classic/classic_image_kinds.h"
#include "vexscan/classic/classic_scanner.h"
#include "vexscan/classic/classic_status_bits.h"
#include "vexscan/comm/comm_port.h"
#include "vexscan/device/error_codes.h"
#include "vexscan/platform/platform.h"

namespace vexscan {

uint16_t currentLineBytes = 0;
uint16_t currentBlockStatus = 0;

namespace {

constexpr std::size_t kBlockHeaderSize = 6;
constexpr uint8_t kBlockLast = 0x20;
constexpr uint8_t kBlockContinuous = 0x40;
constexpr uint8_t kBlockWarmUpAgain = 0x80;
constexpr uint32_t kMaximumLinesPerBlock = 255;
constexpr uint32_t kReserveColor = 60;
constexpr uint32_t kReserveMono = 30;
constexpr char kFirstBlockModeLevel = '4';

constexpr uint8_t kFeederReady = 0x08;
constexpr uint8_t kFilmCoverOpen = 0x02;

}  // namespace

bool ClassicScanner::startScan(uint32_t lineBytes) {
    scanning_ = 1;
    abortActive_ = 0;
    resetOnAbort_ = 1;
    errorCode_ = 0;

    setUpScan();
    if (errorCode_ != 0) {
        return false;
    }

    const uint8_t useOption = block_->useOption;
    if (hasOption_ == 1 && useOption != 0) {
        if (!readExtendedStatus(replyBuffer, sizeof replyBuffer)) {
            errorCode_ = kErrorBadReply;
            return false;
        }
        const uint8_t* data = replyBuffer + ReplyHeader::kSize;
        if (attachedOption_ == kOptionDocumentFeeder) {
            const uint8_t feeder = data[kStatusFeeder];
            if ((feeder & kFeederReady) == 0) {
                if ((feeder & kFeederCondition14) != 0) {
                    errorCode_ = kErrorOption14;
                    return false;
                }
                if ((feeder & kFeederCondition15) != 0) {
                    errorCode_ = kErrorOption15;
                    return false;
                }
            }
        } else if (attachedOption_ == kOptionFilmAdapter &&
                   (data[kStatusFilm] & kFilmCoverOpen) != 0) {
            errorCode_ = kErrorOption15;
            return false;
        }
    }

    if (block_->levelCode[1] >= kFirstBlockModeLevel) {
        blockMode_ = 1;
        // Sized by the longer of the output line and the device line, so that a block of device
        // lines that are wider than the caller's (16-bit samples kept to 8 bits) still fits.
        const uint64_t deviceLine = classicDeviceLineBytes(imageKind_, scanWidth_);
        const uint64_t perLine = std::max<uint64_t>(lineBytes, deviceLine) +
                                 (colorMode_ != 0 ? kReserveColor : kReserveMono);
        const uint64_t lines = (kClassicDataBufferSize - 10) / perLine;
        if (lines == 0) {
            errorCode_ = kErrorDoesNotFit;
            return false;
        }
        sendEscByte(link(), 'd',
                    static_cast<uint8_t>(std::min<uint64_t>(lines, kMaximumLinesPerBlock)));
    } else {
        blockMode_ = 0;
    }

    startHeaderPending_ = 0;
    startHeader_.fill(0);
    if (!waitForWarmUp()) {
        return false;
    }
    platform::repaintWindow(block_->hostWindow);

    // Without block mode the device answers ESC G with the first block's 4-byte header; reading
    // six bytes would take two data bytes for header bytes.
    const std::size_t headerSize = blockMode_ != 0 ? kBlockHeaderSize : ReplyHeader::kSize;
    sendEsc(port(), 'G');
    if (!port().readBytes(startHeader_.data(), static_cast<uint32_t>(headerSize)) ||
        startHeader_[0] != kStx) {
        errorCode_ = kErrorTransfer;
        return false;
    }
    if ((startHeader_[1] & kBlockWarmUpAgain) != 0) {
        if (!waitForWarmUp()) {
            return false;
        }
        platform::repaintWindow(block_->hostWindow);
        sendEsc(port(), 'G');
    } else {
        startHeaderPending_ = 1;
    }

    blockLineCount_ = 0;
    blockLineIndex_ = 0;
    return scanHeight_ != 0;
}

uint8_t* ClassicScanner::nextBlockLine() {
    if (abortActive_ != 0 && resetOnAbort_ != 0) {
        blockLineIndex_ = 0;
        blockLineCount_ = 0;
    }
    if (!dataBuffer_) {
        return nullptr;  // never opened
    }
    uint8_t* const lines = dataBuffer_.get() + kClassicBlockOffset;
    bool blockRead = false;
    if (blockLineIndex_ == blockLineCount_ && scanning_ != 0) {
        blockRead = true;
        uint16_t lineCount = 1;
        if (startHeaderPending_ != 0) {
            currentBlockStatus = startHeader_[1];
            currentLineBytes = readWord(&startHeader_[2]);
            if (blockMode_ != 0) {
                lineCount = readWord(&startHeader_[4]);
            }
            startHeaderPending_ = 0;
        } else {
            const std::size_t size = blockMode_ != 0 ? kBlockHeaderSize : ReplyHeader::kSize;
            if (!port().readBytes(replyBuffer, static_cast<uint32_t>(size)) ||
                replyBuffer[0] != kStx) {
                errorCode_ = kErrorTransfer;
                return nullptr;
            }
            currentBlockStatus = replyBuffer[1];
            currentLineBytes = readWord(&replyBuffer[2]);
            if (blockMode_ != 0) {
                lineCount = readWord(&replyBuffer[4]);
            }
        }
        blockLineCount_ = lineCount;

        if (blockLineCount_ == 0 || currentLineBytes == 0) {
            // The device has stopped; its status says why. A block of lines without bytes is
            // no block either.
            blockLineCount_ = 0;
            if (!readExtendedStatus(replyBuffer, sizeof replyBuffer)) {
                errorCode_ = kErrorBadReply;
                return nullptr;
            }
            const uint8_t* data = replyBuffer + ReplyHeader::kSize;
            if ((replyBuffer[1] & kStatusHeaderFault) != 0) {
                errorCode_ = kErrorStatusFault;
            } else if ((data[kStatusFurther] & kFurtherFault) != 0) {
                errorCode_ = kErrorFurtherFault;
            } else if (attachedOption_ == kOptionDocumentFeeder) {
                const uint8_t feeder = data[kStatusFeeder];
                errorCode_ = (feeder & kFeederReady) != 0        ? kErrorDeviceStopped
                             : (feeder & kFeederCondition14) != 0 ? kErrorOption14
                             : (feeder & kFeederCondition15) != 0 ? kErrorOption15
                                                                  : kErrorDeviceStopped;
            } else if (attachedOption_ == kOptionFilmAdapter) {
                errorCode_ = (data[kStatusFilm] & kFilmCoverOpen) != 0 ? kErrorOption15
                                                                       : kErrorDeviceStopped;
            } else {
                errorCode_ = kErrorDeviceStopped;
            }
            return nullptr;
        }

        // A block that would not fit behind the offset is refused unread: the stream cannot be
        // trusted any more, and the buffer must never be overrun.
        const uint64_t blockBytes =
            uint64_t{currentLineBytes} * (blockMode_ != 0 ? blockLineCount_ : 1);
        if (blockBytes > kClassicBlockRoom) {
            blockLineCount_ = 0;
            errorCode_ = kErrorTransfer;
            return nullptr;
        }
        if (!port().readBytes(lines, static_cast<uint32_t>(blockBytes))) {
            blockLineCount_ = 0;
            errorCode_ = kErrorTransfer;
            return nullptr;
        }
        if ((currentBlockStatus & kBlockLast) != 0) {
            scanning_ = 0;
        } else {
            if ((currentBlockStatus & kBlockContinuous) != 0) {
                startNeeded_ = 0;
            }
            const uint8_t answer = abortActive_ != 0 ? kCan : kAck;
            resetOnAbort_ = answer == kAck ? 1 : 0;
            if (!port().writeBytes(&answer, 1)) {
                errorCode_ = kErrorTransfer;
                return nullptr;
            }
            if (answer == kCan) {
                uint8_t reply = 0;
                if (!port().readBytes(&reply, 1)) {
                    errorCode_ = kErrorTransfer;
                    return nullptr;
                }
                if (block_->useOption != 0 && attachedOption_ == kOptionDocumentFeeder) {
                    ejectPaper(link());
                }
                scanning_ = 0;
            }
        }
        blockLineIndex_ = 0;
        blockLineBytes_ = currentLineBytes;
    }
    if (scanning_ == 0 && abortActive_ != 0) {
        blockLineIndex_ = 0;
    }
    // The device ended the page before the caller's lines were all there: no line beyond the
    // last block is handed out (an abandoned page goes on with blank lines instead).
    const bool exhausted = blockMode_ != 0 ? blockLineIndex_ >= blockLineCount_
                                           : scanning_ == 0 && !blockRead;
    if (exhausted && abortActive_ == 0) {
        errorCode_ = kErrorTransfer;
        return nullptr;
    }
    if (blockMode_ == 0) {
        blockLineIndex_ = 1;
        return lines;
    }
    uint8_t* line = lines + std::size_t{blockLineIndex_} * currentLineBytes;
    ++blockLineIndex_;
    return line;
}

bool ClassicScanner::fetchDeviceLine(std::span<const uint8_t>& out) {
    uint8_t* data = nextBlockLine();
    if (data == nullptr) {
        return false;
    }
    const uint8_t* const end = dataBuffer_.get() + kClassicDataBufferAllocation;
    // An abandoned page whose device never sent a block still gets lines of the device's width.
    const std::size_t wanted =
        blockLineBytes_ != 0 || abortRequested_ == 0 ? blockLineBytes_ : deviceLineBytes_;
    const std::size_t length = std::min<std::size_t>(wanted, static_cast<std::size_t>(end - data));
    if (abortRequested_ != 0) {
        // The rest of an abandoned page is delivered blank.
        std::memset(data, 0xFF, length);
    }
    out = std::span<const uint8_t>(data, length);
    return true;
}

bool ClassicScanner::fetchLine(SourceLine& line) {
    line.count = static_cast<int32_t>(scanWidth_);
    if (abortRequested_ != 0) {
        abortActive_ = 1;
    }
    line.plane2 = {};
    line.plane3 = {};
    if (!fetchDeviceLine(line.data)) {
        return false;
    }
    if (classicPlaneKind(imageKind_)) {
        // The device sends the three planes of a line as three device lines, red, green, blue.
        // The first two are kept aside, as the next block may overwrite the buffer.
        const std::size_t planeBytes = line.data.size();
        planeCopy_.assign(line.data.begin(), line.data.end());
        std::span<const uint8_t> second;
        if (!fetchDeviceLine(second)) {
            return false;
        }
        planeCopy_.insert(planeCopy_.end(), second.begin(), second.end());
        std::span<const uint8_t> third;
        if (!fetchDeviceLine(third)) {
            return false;
        }
        line.data = std::span<const uint8_t>(planeCopy_.data(), planeBytes);
        line.plane2 = std::span<const uint8_t>(planeCopy_.data() + planeBytes, second.size());
        line.plane3 = third;
    }
    if (imageKind_ == 0) {
        line.count = static_cast<int32_t>(blockLineBytes_);
    }
    return true;
}

}  // namespace vexscan
