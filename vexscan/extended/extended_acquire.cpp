// One page from an extended device: InitAcquire fixes its geometry and output layout, AcquireImage
// fills the caller's buffer with whole converted lines call by call, Abort ends the transfer.
#include <algorithm>
#include <limits>

#include "vexscan/comm/transport.h"
#include "vexscan/convert/line_converters.h"
#include "vexscan/convert/row_plan.h"
#include "vexscan/device/error_codes.h"
#include "vexscan/extended/extended_scanner.h"

namespace vexscan {
namespace {


constexpr uint32_t kLargestHeight = 65535;
constexpr uint32_t kLargestPosition = 65535;
constexpr uint32_t kLargestTwelveBitLine = 32768;
constexpr int32_t kTwelveBitColor = 6;
constexpr uint32_t kLinesPerCallModulus = 65536;
constexpr uint32_t kProgressStep = 5;
constexpr int32_t kPercentDone = 100;

// The device mirrors a line itself and leaves the pixels it lacks at the end of the line,
// mirrored or not. The grey converters' mirrored-line skip is for pad pixels in front of a line,
// so it must never apply to these lines.
constexpr int kDeviceMirrorsItself = 0;

uint64_t roundUpTo4(uint64_t value) { return (value + 3) & ~uint64_t{3}; }

}  // namespace

void ExtendedScanner::refuseAcquire(InitAcquireResult* result, int32_t code) {
    result->status = kStatusFailed;
    errorCode_ = code;
    acquireReady_ = 0;
}

void ExtendedScanner::InitAcquire(int32_t layoutCode, ProgressCallback progressCallback,
                                  InitAcquireResult* result) {
    if (result == nullptr) {
        return;
    }
    takeScanArea(layoutCode);
    // A type this family cannot deliver leaves no output layout: its line counts as 0 bytes and
    // is refused below, rather than scanned in the previous scan's layout.
    const bool formatKnown = setUpImageType();
    eightBitOutput_ = block_->eightBitOutput != 0 ? 1 : 0;
    uint64_t lineBytes = 0;
    if (formatKnown) {
        const uint64_t units =
            (uint64_t{scanWidth_} + format_.pixelsPerUnit - 1) / format_.pixelsPerUnit;
        lineBytes = roundUpTo4(units * format_.bytesPerUnit);
    }
    outputLineBytes_ =
        static_cast<uint32_t>(std::min<uint64_t>(lineBytes, std::numeric_limits<uint32_t>::max()));

    linesDone_ = 0;
    blocksFetched_ = 0;
    abortRequested_ = 0;
    endOfData_ = 0;
    scanStarted_ = 0;
    blockDataBytes_ = 0;
    lineOffset_ = 0;
    acquireReady_ = 1;

    result->status = kStatusDone;
    result->bytesPerLine = static_cast<int32_t>(outputLineBytes_);
    result->pixelsPerLine = static_cast<int32_t>(scanWidth_);
    result->lineCount = static_cast<int32_t>(scanHeight_);
    progressCallback_ = progressCallback;

    // Each limit is tested on its own, so no sum below can wrap.
    if (scanWidth_ > kExtendedMaximumWidth || scanHeight_ > kLargestHeight) {
        refuseAcquire(result, kErrorAreaSize);
        return;
    }
    if (scanLeft_ > kLargestPosition || scanTop_ > kLargestPosition ||
        scanLeft_ + scanWidth_ > kLargestPosition || scanTop_ + scanHeight_ > kLargestPosition) {
        refuseAcquire(result, kErrorAreaPosition);
        return;
    }
    const uint32_t lineLimit = formatKnown && format_.imageKind == kTwelveBitColor
                                   ? kLargestTwelveBitLine
                                   : kExtendedBlockDataBytes;
    // An empty area has no line to size the caller's buffer in, nor lines to read.
    if (outputLineBytes_ == 0 || outputLineBytes_ > lineLimit || scanHeight_ == 0) {
        refuseAcquire(result, kErrorDoesNotFit);
    }
}

void ExtendedScanner::prepareLines() {
    rowFit_ = fitDeviceLineToRow(format_, scanWidth_, paramBlock_.width);
    // White paper: no dot for line art, every sample at its top for the other types.
    blankLine_.assign(deviceLineBytes_, format_.bitsSent == 1 ? 0x00 : 0xFF);
}

void ExtendedScanner::convertLine(const SourceLine& line, std::span<uint8_t> row) {
    // Exactly the scan width: the rounding of the row to 4 bytes is never written.
    const std::span<uint8_t> pixels =
        row.first(std::min<std::size_t>(rowFit_.rowBytes, row.size()));
    const int16_t pad = rowFit_.padCount;
    switch (format_.imageKind) {
        case 0:
            convertLineArt(line, pixels, pad, block_->invertLineArt);
            break;
        case 2:
            if (eightBitOutput_ != 0) {
                convertGrayMapped(line, pixels, pad);
            } else {
                convertGray8(line, pixels, pad, kDeviceMirrorsItself);
            }
            break;
        case 5: {
            // The device sends the caller's channel order and mirroring; a line that falls short
            // of the scan width is completed with its last pixel.
            constexpr std::size_t kPixelBytes = 3;
            const std::size_t taken = std::min<std::size_t>(
                std::size_t{rowFit_.devicePixels} * kPixelBytes, line.data.size());
            SourceLine copied = line;
            copied.data = line.data.first(taken);
            copyBlockLine(copied, pixels);
            const std::uint8_t blank[kPixelBytes] = {0xFF, 0xFF, 0xFF};
            detail::fillRow(pixels.data(), kPixelBytes, taken / kPixelBytes,
                            pixels.size() / kPixelBytes, blank);
            break;
        }
        case 6:
            convertColor12(line, pixels, pad);
            break;
        case 7:
            convertColor48(line, pixels, swapOrder_, pad, eightBitOutput_);
            break;
        case 8:
            if (eightBitOutput_ != 0) {
                // The device sends two bytes a sample while the row holds one.
                convertGray16To8(line, pixels, pad, kDeviceMirrorsItself);
            } else {
                convertGray16(line, pixels, pad, kDeviceMirrorsItself);
            }
            break;
        default:
            break;
    }
}

void ExtendedScanner::AcquireImage(uint8_t* buffer, uint32_t bufferSize,
                                   AcquireImageResult* result) {
    if (result == nullptr) {
        return;
    }
    result->pageDone = 0;
    result->linesDelivered = 0;
    // No accepted scan (or a closed device): nothing to deliver, and the refusal's code stays.
    if (acquireReady_ == 0 || buffer == nullptr || !dataBuffer_ || outputLineBytes_ == 0) {
        result->status = kStatusFailed;
        return;
    }
    const uint32_t fit = bufferSize / outputLineBytes_ % kLinesPerCallModulus;
    if (fit == 0) {
        result->status = kStatusFailed;
        return;
    }
    if (scanStarted_ == 0) {
        if (!buildParameters()) {
            errorCode_ = kErrorDeviceFault;
            result->status = kStatusFailed;
            return;
        }
        prepareLines();
        if (!startScan()) {
            result->status = kStatusFailed;
            return;
        }
        scanStarted_ = 1;
    }

    const uint32_t remaining = scanHeight_ > linesDone_ ? scanHeight_ - linesDone_ : 0;
    const uint32_t count = std::min(fit, remaining);
    result->linesDelivered = static_cast<int32_t>(count);
    const bool topDown = layoutCode_ == 1 || layoutCode_ == 3;
    SourceLine line;
    for (uint32_t i = 0; i < count; ++i) {
        if (progressCallback_ != nullptr && i % kProgressStep == 0) {
            progressCallback_(static_cast<int32_t>(linesDone_ * 100u / scanHeight_));
        }
        const uint32_t row = topDown ? i : count - 1 - i;
        const std::span<uint8_t> destination(buffer + std::size_t{row} * outputLineBytes_,
                                             outputLineBytes_);
        if (!fetchLine(line)) {
            result->status = kStatusFailed;
            return;
        }
        convertLine(line, destination);
        ++linesDone_;
    }
    result->pageDone = linesDone_ >= scanHeight_ ? 1 : 0;
    if (result->pageDone != 0 && !finishPage()) {
        result->status = kStatusFailed;
        return;
    }
    result->status = kStatusDone;
}

bool ExtendedScanner::finishPage() {
    if (progressCallback_ != nullptr) {
        progressCallback_(kPercentDone);
    }
    const ScanParamBlock& b = *block_;
    const int32_t optionKind = b.optionKind;
    const int32_t holdPageAtEnd = b.holdPageAtEnd;
    const bool feederPage = b.useOption != 0 && optionKind == kOptionDocumentFeeder;
    const bool heldInFeeder = b.feederFlagA != 0 && holdPageAtEnd != 0;
    if (!feederPage || abortRequested_ != 0 || heldInFeeder) {
        return true;
    }
    if (!ejectPaper(link())) {
        return false;
    }
    // After the eject the feeder tells whether a next sheet is there.
    if (GetOptionStatus(optionKind) == kErrorOption14) {
        errorCode_ = kErrorOption14;
        return false;
    }
    return true;
}

int32_t ExtendedScanner::Abort() {
    abortRequested_ = 1;
    linesDone_ = 0;
    // Before the first AcquireImage the device has not been started and no block size is known:
    // nothing to drain, nothing to tell the device. The scan is over; AcquireImage refuses it.
    if (scanStarted_ == 0) {
        endOfData_ = 1;
        acquireReady_ = 0;
        return 1;
    }
    // With linesDone at 0 every fetch reads a block: the next full one is answered with CAN.
    SourceLine line;
    while (endOfData_ == 0) {
        if (!fetchLine(line)) {
            return 0;
        }
    }
    return 1;
}

}  // namespace vexscan
