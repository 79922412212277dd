// Opening an extended device: reset, the 80-byte identity (FS I), the command level, the installed
// option (FS F) and the capability fields of the caller's block, written in a fixed order so an
// open that stops part-way leaves exactly the fields written before it stopped.
#include <cstring>

#include "vexscan/comm/comm_port.h"
#include "vexscan/device/code_tables.h"
#include "vexscan/device/error_codes.h"
#include "vexscan/extended/extended_scanner.h"

namespace vexscan {
namespace {

// Identity reply offsets.
constexpr std::size_t kFirstResolution = 8;
constexpr std::size_t kSecondResolution = 12;
constexpr std::size_t kBedArea = 20;
constexpr std::size_t kFeederArea = 28;
constexpr std::size_t kFilmArea = 36;
constexpr std::size_t kFeederFlags = 44;
constexpr std::size_t kProductName = 46;
constexpr uint8_t kFeederFlagA = 0x20;
constexpr uint8_t kFeederFlagB = 0x10;

// Status reply bits read at open.
constexpr uint8_t kInstalled = 0x80;
constexpr std::size_t kFeederStatus = 1;
constexpr std::size_t kFilmStatus = 2;

ExtendedScanner::BufferAllocator bufferAllocator = &platform::allocateZeroed;

struct LevelEntry {
    char digit;
    int32_t levelIndex;
    int32_t featureCount;
};
constexpr LevelEntry kLevels[] = {{'3', 1, 4}, {'4', 2, 5}, {'5', 3, 5},
                                  {'6', 6, 6}, {'7', 7, 6}, {'8', 8, 6}};

const LevelEntry* levelFor(char letter, char digit) {
    if (letter != 'B') {
        return nullptr;
    }
    for (const LevelEntry& entry : kLevels) {
        if (entry.digit == digit) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

ExtendedScanner::BufferAllocator ExtendedScanner::setBufferAllocatorForTesting(
    BufferAllocator allocator) {
    const BufferAllocator previous = bufferAllocator;
    bufferAllocator = allocator != nullptr ? allocator : &platform::allocateZeroed;
    return previous;
}

uint32_t ExtendedScanner::identityWord(std::size_t offset) const {
    return readLong(&identityReply_[offset]);
}

int32_t ExtendedScanner::GetScannerName(char* name) {
    std::size_t length = 0;
    while (length < kProductNameLength && identityReply_[kProductName + length] != 0) {
        name[length] = static_cast<char>(identityReply_[kProductName + length]);
        ++length;
    }
    name[length] = '\0';
    return 1;
}

bool ExtendedScanner::readIdentity() {
    return sendFs(port(), 'I') && port().readBytes(identityReply_.data(), kExtendedIdentitySize);
}

void ExtendedScanner::storeResolutions() {
    block_->resolutionCount = 3;
    block_->resolutionList[0] = static_cast<uint16_t>(identityWord(kFirstResolution)) * 2;
    block_->resolutionList[1] = static_cast<uint16_t>(baseResolution());
    block_->resolutionList[2] = static_cast<uint16_t>(identityWord(kSecondResolution)) / 2;
}

bool ExtendedScanner::storeLevel() {
    const char letter = static_cast<char>(identityReply_[0]);
    const char digit = static_cast<char>(identityReply_[1]);
    block_->levelCode[0] = letter;
    block_->levelCode[1] = letter != '\0' ? digit : '\0';
    block_->levelCode[2] = '\0';
    const LevelEntry* level = levelFor(letter, digit);
    levelIndex_ = level != nullptr ? level->levelIndex : 0;
    block_->levelIndex = levelIndex_;
    if (level == nullptr) {
        errorCode_ = kErrorUnsupportedLevel;
        return false;
    }
    return true;
}

bool ExtendedScanner::detectOption() {
    if (levelIndex_ <= 1) {
        block_->optionKind = kOptionNone;
        return true;
    }
    if (!requestStatus()) {
        errorCode_ = kErrorBadReply;
        return false;
    }
    block_->optionKind = kOptionNone;
    // The feeder is tested first: a device reporting both options drives its feeder.
    if ((statusReply_[kFeederStatus] & kInstalled) != 0) {
        block_->optionKind = kOptionDocumentFeeder;
        sourceArea_[1] = {identityWord(kFeederArea), identityWord(kFeederArea + 4)};
        block_->feederFlagA = 0;
        block_->feederFlagB = 0;
        const uint8_t flags = identityReply_[kFeederFlags];
        if ((flags & kFeederFlagA) != 0) {
            block_->feederFlagA = 1;
            if ((flags & kFeederFlagB) != 0) {
                block_->feederFlagB = 1;
            }
        }
    } else if ((statusReply_[kFilmStatus] & kInstalled) != 0) {
        block_->optionKind = kOptionFilmAdapter;
        sourceArea_[1] = {identityWord(kFilmArea), identityWord(kFilmArea + 4)};
    }
    return true;
}

void ExtendedScanner::writeCapabilities() {
    if (!modelCodeFromName(*this, block_->modelCode)) {
        std::memcpy(block_->modelCode, kDefaultModelCode, sizeof kDefaultModelCode);
    }
    block_->useOption = 0;
    block_->halftoneCount = countHalftones(*block_);

    const uint32_t base = baseResolution();  // never 0 here: identify refuses it
    const auto inHundredths = [base](uint32_t pixels) {
        return static_cast<int32_t>(pixels * 100 / base);
    };
    block_->sourceCount = 1;
    block_->bedWidth = inHundredths(sourceArea_[0].width);
    block_->bedHeight = inHundredths(sourceArea_[0].height);
    const int32_t optionKind = block_->optionKind;
    if (optionKind != kOptionNone) {
        block_->sourceCount = 2;
        block_->optionWidth = inHundredths(sourceArea_[1].width);
        block_->optionHeight = inHundredths(sourceArea_[1].height);
    }
    block_->zoomSupported = 1;
    block_->zoomMin = 50;
    block_->zoomMax = 200;
    block_->levelFeatureCount = levelFor('B', block_->levelCode[1])->featureCount;
}

bool ExtendedScanner::identify() {
    if (!resetScanner(link()) || !readIdentity()) {
        return false;
    }
    // Every area figure of the reply is in units of the base resolution and is divided by it.
    if (baseResolution() == 0) {
        errorCode_ = kErrorBadReply;
        return false;
    }
    storeResolutions();
    if (!storeLevel()) {
        return false;
    }
    sourceArea_[0] = {identityWord(kBedArea), identityWord(kBedArea + 4)};
    if (!detectOption()) {
        return false;
    }
    writeCapabilities();
    return true;
}

int32_t ExtendedScanner::Open() {
    if (isOpen_ != 0) {
        return 1;
    }
    dataBuffer_.reset(static_cast<uint8_t*>(bufferAllocator(kExtendedDataBufferSize)));
    if (!dataBuffer_) {
        errorCode_ = kErrorNoMemory;
        return 0;
    }
    const int32_t opened = port().openPort();
    if (opened == kPortRefused) {
        errorCode_ = kErrorPortRefused;
        return 0;
    }
    if (opened != 1 || !identify()) {
        return 0;
    }
    isOpen_ = 1;
    return 1;
}

}  // namespace vexscan
