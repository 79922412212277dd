// One page from a classic device: InitAcquire fixes its geometry and output layout, AcquireImage
// fills the caller's buffer with whole converted lines call by call, Abort abandons it.
#include <algorithm>
#include <limits>

#include "vexscan/classic/classic_image_kinds.h"
#include "vexscan/classic/classic_scanner.h"
#include "vexscan/classic/classic_status_bits.h"
#include "vexscan/convert/line_converters.h"
#include "vexscan/device/error_codes.h"

namespace vexscan {
namespace {

constexpr uint64_t kLargestTwelveBitLine = 32768;
constexpr uint64_t kReserveColor = 60;
constexpr uint64_t kReserveMono = 30;
constexpr uint64_t kBufferMargin = 1010;
constexpr int32_t kTwelveBitColor = 6;
constexpr uint32_t kLinesPerCallModulus = 65536;
constexpr uint16_t kProgressStep = 10;
constexpr int32_t kPercentDone = 100;
constexpr int32_t kLevelWithPageEject = 4;

}  // namespace

void ClassicScanner::selectImageKind(int32_t imageType) {
    const std::optional<ClassicImageKind> kind =
        classicImageKindFor(imageType, block_->eightBitOutput != 0);
    if (!kind) {
        return;  // an unknown type keeps the previous page's layout
    }
    imageKind_ = kind->imageKind;
    bitsPerChannel_ = kind->bitsPerChannel;
    colorMode_ = kind->colorMode;
    bytesPerUnit_ = kind->bytesPerUnit;
    pixelsPerUnit_ = kind->pixelsPerUnit;
    eightBitOutput_ = block_->eightBitOutput != 0 ? 1 : 0;
}

void ClassicScanner::InitAcquire(int32_t layoutCode, ProgressCallback progressCallback,
                                 InitAcquireResult* result) {
    if (result == nullptr) {
        return;
    }
    const ScanParamBlock& b = *block_;
    scanWidth_ = static_cast<uint32_t>(static_cast<int32_t>(b.areaWidth));
    scanHeight_ = static_cast<uint32_t>(static_cast<int32_t>(b.areaHeight));
    scanLeft_ = static_cast<uint32_t>(static_cast<int32_t>(b.areaLeft));
    scanTop_ = static_cast<uint32_t>(static_cast<int32_t>(b.areaTop));
    layoutCode_ = layoutCode;
    selectImageKind(b.imageType);

    const ClassicImageKind kind{imageKind_, bitsPerChannel_, colorMode_, bytesPerUnit_,
                                pixelsPerUnit_};
    const uint64_t lineBytes = pixelsPerUnit_ > 0 && bytesPerUnit_ > 0
                                   ? classicOutputLineBytes(kind, scanWidth_, layoutCode)
                                   : 0;
    outputLineBytes_ =
        static_cast<uint32_t>(std::min<uint64_t>(lineBytes, std::numeric_limits<uint32_t>::max()));
    deviceLineBytes_ = static_cast<uint32_t>(
        std::min<uint64_t>(classicDeviceLineBytes(imageKind_, scanWidth_), kClassicBlockRoom));
    totalLines_ = scanHeight_;
    linesDone_ = 0;
    pageDone_ = 0;

    result->bytesPerLine = static_cast<int32_t>(outputLineBytes_);
    result->pixelsPerLine = static_cast<int32_t>(scanWidth_);
    result->lineCount = static_cast<int32_t>(scanHeight_);
    result->status = kStatusDone;

    abortRequested_ = 0;
    startNeeded_ = 1;
    progressCallback_ = progressCallback;

    const uint64_t reserve = colorMode_ != 0 ? kReserveColor : kReserveMono;
    bool fits = false;
    if (imageKind_ == kTwelveBitColor) {
        fits = lineBytes <= kLargestTwelveBitLine;
    } else {
        fits = (kClassicDataBufferSize - kBufferMargin) / (lineBytes + reserve) >= 1;
    }
    // A line of no pixels has no bytes to count the caller's buffer in.
    if (!fits || lineBytes == 0) {
        result->status = kStatusFailed;
        errorCode_ = kErrorDoesNotFit;
    }
}

void ClassicScanner::convertLine(const SourceLine& line, std::span<uint8_t> row, int swapOrder) {
    const auto pad = static_cast<int16_t>(padPixels_);
    const int mirror = static_cast<int32_t>(block_->mirror) != 0 ? 1 : 0;
    switch (imageKind_) {
        case 0:
            convertLineArt(line, row, pad, block_->invertLineArt);
            break;
        case 1:
            convertGray4(line, row, pad);
            break;
        case 2:
            if (eightBitOutput_ != 0) {
                convertGrayMapped(line, row, pad);
            } else {
                convertGray8(line, row, pad, mirror);
            }
            break;
        case 3:
            convertColor8(line, row, swapOrder, pad);
            break;
        case 4:
            convertColor256(line, row, swapOrder, pad);
            break;
        case 5:
            convertColor24(line, row, swapOrder, pad);
            break;
        case 6:
            convertColor12(line, row, pad);
            break;
        case 7:
            convertColor48(line, row, swapOrder, pad, eightBitOutput_);
            break;
        case 8:
            if (eightBitOutput_ != 0) {
                // The row holds one byte a pixel while the device sends two.
                convertGray16To8(line, row, pad, mirror);
            } else {
                convertGray16(line, row, pad, mirror);
            }
            break;
        default:
            break;
    }
}

void ClassicScanner::AcquireImage(uint8_t* buffer, uint32_t bufferSize,
                                  AcquireImageResult* result) {
    if (result == nullptr) {
        return;
    }
    if (buffer == nullptr || outputLineBytes_ == 0) {
        errorCode_ = kErrorDoesNotFit;
        result->status = kStatusFailed;
        return;
    }
    if (linesDone_ == 0 && startNeeded_ == 1 && !startScan(outputLineBytes_)) {
        result->status = kStatusFailed;
        return;
    }
    if (startNeeded_ == 0) {
        linesDone_ = 0;
    }
    const int swapOrder = layoutCode_ == 1 ? 0 : 1;
    const uint32_t fit = bufferSize / outputLineBytes_ % kLinesPerCallModulus;
    if (fit == 0) {
        result->status = kStatusFailed;
        abortActive_ = 1;
        nextBlockLine();
        return;
    }
    const uint32_t remaining = totalLines_ > linesDone_ ? totalLines_ - linesDone_ : 0;
    const auto delivered = static_cast<uint16_t>(std::min(fit, remaining));
    result->linesDelivered = delivered;

    const bool topDown = layoutCode_ == 1 || layoutCode_ == 3;
    SourceLine line;
    for (uint16_t i = 0; i < delivered; ++i) {
        if (progressCallback_ != nullptr && i % kProgressStep == 0) {
            const uint64_t percent = (uint64_t{i} + linesDone_) * 100 / std::max(totalLines_, 1u);
            progressCallback_(static_cast<int32_t>(percent));
        }
        const uint32_t row = topDown ? i : delivered - 1u - i;
        const std::span<uint8_t> destination(buffer + std::size_t{row} * outputLineBytes_,
                                             outputLineBytes_);
        if (!fetchLine(line)) {
            result->status = kStatusFailed;
            return;
        }
        convertLine(line, destination, swapOrder);
    }
    linesDone_ += delivered;
    pageDone_ = linesDone_ >= totalLines_ ? 1 : 0;
    result->pageDone = pageDone_;
    if (pageDone_ == 0) {
        result->status = kStatusDone;
        return;
    }
    finishPage(result);
}

void ClassicScanner::finishPage(AcquireImageResult* result) {
    if (progressCallback_ != nullptr) {
        progressCallback_(kPercentDone);
    }
    const ScanParamBlock& b = *block_;
    const bool feederPage = b.useOption != 0 && attachedOption_ == kOptionDocumentFeeder;
    if (abortActive_ == 0 && (feederPage || levelIndex_ == kLevelWithPageEject)) {
        if (b.feederFlagA == 0) {
            if (!ejectPaper(link())) {
                result->status = kStatusFailed;
                return;
            }
            if (GetOptionStatus(b.optionKind) == kErrorOption14) {
                errorCode_ = kErrorOption14;
                result->status = kStatusFailed;
                return;
            }
        } else if (static_cast<int32_t>(b.holdPageAtEnd) == 0 && !ejectPaper(link())) {
            result->status = kStatusFailed;
            return;
        }
    }
    result->status = kStatusDone;
}

int32_t ClassicScanner::Abort() {
    abortRequested_ = 1;
    abortActive_ = 1;
    return nextBlockLine() != nullptr ? 1 : 0;
}

}  // namespace vexscan
