// Opening a classic device: reset, identity, command level, attached option and every capability
// field of the caller's block. The fields are written in a fixed order, so an open that stops
// part-way leaves exactly the fields written before it stopped.
#include <algorithm>
#include <cassert>
#include <cstring>
#include <new>

#include "vexscan/classic/classic_scanner.h"
#include "vexscan/comm/comm_port.h"
#include "vexscan/device/code_tables.h"
#include "vexscan/device/error_codes.h"

namespace vexscan {
namespace {

// Identity reply: two level characters, then 3-byte entries (a tag byte and a 16-bit value): the
// resolutions, then the flatbed area (tag, width, height).
constexpr std::size_t kEntryBytes = 3;
constexpr std::size_t kLevelBytes = 2;
constexpr std::size_t kAreaEntryBytes = 5;                               // tag, width, height
constexpr uint16_t kFixedIdentityBytes = kLevelBytes + kAreaEntryBytes;  // 7
// The shortest identity reply that still holds one resolution: the maximum resolution divides.
constexpr uint16_t kShortestIdentity = kFixedIdentityBytes + kEntryBytes;  // 10

// Extended status data bytes and bits used at open.
constexpr std::size_t kStatusData = ReplyHeader::kSize;
constexpr uint8_t kMainFeederFlagA = 0x20;
constexpr uint8_t kMainFeederFlagB = 0x10;
constexpr uint8_t kOptionAttached = 0x80;
constexpr std::size_t kFeederStatus = 1;
constexpr std::size_t kFeederArea = 2;
constexpr std::size_t kFilmStatus = 6;
constexpr std::size_t kFilmArea = 7;

constexpr int32_t kFirstLevelWithStatus = 2;

ClassicScanner::BufferAllocator bufferAllocator = &platform::allocateZeroed;

int32_t levelFeatureCountFor(int32_t levelIndex) {
    if (levelIndex == 1) return 4;
    if (levelIndex >= 2 && levelIndex <= 4) return 5;
    return 6;  // 6, 7 and 8: the only other levels an open gets this far with
}

}  // namespace

int32_t classicLevelIndex(char first, char second) {
    // Signed on purpose, as on the systems the devices were made for: a byte above 0x7F sorts
    // below the digits.
    const auto digit = static_cast<signed char>(second);
    if (first == 'A') {
        return digit == '5' ? 4 : 0;
    }
    if (first != 'B') {
        return 0;
    }
    switch (digit) {
        case '3':
            return 1;
        case '4':
            return 2;
        case '5':
            return 3;
        case '6':
            return 6;
        case '7':
            return 7;
        case '8':
            return 8;
        default:
            return digit > '8' ? 6 : 0;
    }
}

ClassicScanner::BufferAllocator ClassicScanner::setBufferAllocatorForTesting(
    BufferAllocator allocator) {
    const BufferAllocator previous = bufferAllocator;
    bufferAllocator = allocator != nullptr ? allocator : &platform::allocateZeroed;
    return previous;
}

bool ClassicScanner::allocateDataBuffer() {
    dataBufferSize_ = kClassicDataBufferSize;
    dataBuffer_.reset(static_cast<uint8_t*>(bufferAllocator(kClassicDataBufferAllocation)));
    if (!dataBuffer_) {
        errorCode_ = kErrorNoMemory;
        dataBufferSize_ = 0;
        return false;
    }
    return true;
}

bool ClassicScanner::openConnection() {
    const int32_t opened = port().openPort();
    if (opened == kPortRefused) {
        errorCode_ = kErrorPortRefused;
        return false;
    }
    if (opened != 1) {
        errorCode_ = kErrorDeviceFault;
        return false;
    }
    return true;
}

bool ClassicScanner::readIdentity(uint16_t& dataLength) {
    if (!sendEsc(port(), 'I') || !port().readBytes(replyBuffer, ReplyHeader::kSize)) {
        return false;
    }
    const ReplyHeader header = ReplyHeader::parse(replyBuffer);
    if (!header.valid()) {
        errorCode_ = kErrorBadReply;
        return false;
    }
    // A body longer than replyBuffer is still read to its end so the next command starts on a
    // clean stream.
    if (!readReplyBody(port(), replyBuffer, sizeof replyBuffer, header.count).ok) {
        return false;
    }
    // A reply without a single resolution has no maximum resolution to divide by; one longer than
    // replyBuffer has lost its area entry. Neither describes a device that can be driven.
    // The same holds for a largest resolution of 0 dpi.
    if (header.count < kShortestIdentity || header.count > sizeof replyBuffer) {
        errorCode_ = kErrorBadReply;
        return false;
    }
    const std::size_t count = (header.count - kFixedIdentityBytes) / kEntryBytes;
    if (readWord(&replyBuffer[kLevelBytes + kEntryBytes * (count - 1) + 1]) == 0) {
        errorCode_ = kErrorBadReply;
        return false;
    }
    dataLength = header.count;
    return true;
}

bool ClassicScanner::storeIdentity(uint16_t dataLength) {
    const uint16_t count = static_cast<uint16_t>((dataLength - kFixedIdentityBytes) / kEntryBytes);
    block_->resolutionCount = count;
    resolutionTable_.reset(new (std::nothrow) uint16_t[count]);
    resolutionCount_ = 0;
    if (!resolutionTable_) {
        return false;
    }
    resolutionCount_ = count;
    const std::size_t listSize = sizeof block_->resolutionList / sizeof block_->resolutionList[0];
    for (std::size_t i = 0; i < count; ++i) {
        const uint16_t resolution = readWord(&replyBuffer[kLevelBytes + kEntryBytes * i + 1]);
        resolutionTable_[i] = resolution;
        if (i < listSize) {
            block_->resolutionList[i] = resolution;
        }
    }
    const uint8_t* area = &replyBuffer[kLevelBytes + kEntryBytes * count + 1];
    sourceArea_[0] = {readWord(area), readWord(area + 2)};
    attachedOption_ = kOptionNone;
    hasOption_ = 0;
    return true;
}

bool ClassicScanner::storeLevel() {
    block_->levelCode[0] = static_cast<char>(replyBuffer[0]);
    block_->levelCode[1] = static_cast<char>(replyBuffer[1]);
    block_->levelCode[2] = '\0';
    if (static_cast<signed char>(replyBuffer[1]) <= '2') {
        errorCode_ = kErrorUnsupportedLevel;
        return false;
    }
    levelIndex_ =
        classicLevelIndex(static_cast<char>(replyBuffer[0]), static_cast<char>(replyBuffer[1]));
    block_->levelIndex = levelIndex_;
    if (levelIndex_ == 0) {
        errorCode_ = kErrorUnsupportedLevel;
        return false;
    }
    return true;
}

bool ClassicScanner::detectOption() {
    if (levelIndex_ < kFirstLevelWithStatus) {
        return true;
    }
    if (!readExtendedStatus(replyBuffer, sizeof replyBuffer)) {
        errorCode_ = kErrorBadReply;
        return false;
    }
    // Data bytes a short reply did not carry read as zero: the exchange clears them first.
    const uint8_t* data = &replyBuffer[kStatusData];
    if ((data[kFeederStatus] & kOptionAttached) != 0) {
        attachedOption_ = kOptionDocumentFeeder;
        sourceArea_[1] = {readWord(&data[kFeederArea]), readWord(&data[kFeederArea + 2])};
        block_->feederFlagA = 0;
        block_->feederFlagB = 0;
        if ((data[0] & kMainFeederFlagA) != 0) {
            block_->feederFlagA = 1;
            if ((data[0] & kMainFeederFlagB) != 0) {
                block_->feederFlagB = 1;
            }
        }
    } else if ((data[kFilmStatus] & kOptionAttached) != 0) {
        attachedOption_ = kOptionFilmAdapter;
        sourceArea_[1] = {readWord(&data[kFilmArea]), readWord(&data[kFilmArea + 2])};
    }
    return true;
}

uint32_t ClassicScanner::maximumResolution() const {
    // readIdentity refuses a reply without resolutions or with 0 dpi as the largest; the floor
    // only keeps a division by zero impossible.
    const uint32_t last = resolutionCount_ != 0 ? resolutionTable_[resolutionCount_ - 1] : 0;
    assert(last != 0 && "identification refuses a maximum resolution of 0");
    return std::max<uint32_t>(last, 1);
}

int32_t ClassicScanner::inHundredths(uint32_t pixels) const {
    return static_cast<int32_t>(static_cast<uint16_t>(pixels * 100 / maximumResolution()));
}

void ClassicScanner::writeCapabilities() {
    const int32_t optionKind = selectOption();
    block_->optionKind = optionKind;

    if (!modelCodeFromName(*this, block_->modelCode)) {
        std::memcpy(block_->modelCode, kDefaultModelCode, sizeof kDefaultModelCode);
    }

    block_->useOption = 0;
    block_->halftoneCount = countHalftones(*block_);

    block_->bedWidth = 0;
    block_->bedHeight = 0;
    block_->sourceCount = 1;
    block_->bedWidth = inHundredths(sourceArea_[0].width);
    block_->bedHeight = inHundredths(sourceArea_[0].height);

    // Without an option the option size stays as the caller had it.
    if (optionKind != kOptionNone) {
        block_->optionWidth = 0;
        block_->optionHeight = 0;
        block_->sourceCount = 2;
        block_->optionWidth = inHundredths(sourceArea_[1].width);
        block_->optionHeight = inHundredths(sourceArea_[1].height);
    }

    block_->zoomSupported = 1;
    block_->zoomMin = 50;
    block_->zoomMax = 200;
    block_->levelFeatureCount = levelFeatureCountFor(levelIndex_);
}

int32_t ClassicScanner::Open() {
    if (isOpen_ != 0) {
        return 1;
    }
    if (!allocateDataBuffer() || !openConnection() || !resetScanner(link())) {
        return 0;
    }
    uint16_t dataLength = 0;
    if (!readIdentity(dataLength) || !storeIdentity(dataLength) || !storeLevel() ||
        !detectOption()) {
        return 0;
    }
    writeCapabilities();
    isOpen_ = 1;
    return 1;
}

}  // namespace vexscan
