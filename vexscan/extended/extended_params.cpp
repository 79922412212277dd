// Programming an extended scan: the image format, the 64-byte parameter block in its fixed build
// order, the tone and colour downloads that precede it, and the FS W exchange.
#include <cstring>

#include "vexscan/api/percent.h"
#include "vexscan/comm/comm_port.h"
#include "vexscan/device/byte_alignment.h"
#include "vexscan/device/code_tables.h"
#include "vexscan/extended/extended_scanner.h"

namespace vexscan {
namespace {

constexpr uint8_t kTextEnhanceHalftone = 3;
constexpr uint8_t kDefaultThreshold = 110;
constexpr int16_t kThresholdUnset = -1;
constexpr int16_t kThresholdGammaCode = 4;
constexpr std::size_t kToneTableBytes = 256;
constexpr std::size_t kColorMatrixBytes = 9;

// The 16-bit differences the converters take as their pad count.
int16_t low16(int64_t value) { return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF)); }
uint8_t low8(int32_t value) { return static_cast<uint8_t>(value & 0xFF); }

}  // namespace

std::optional<ExtendedImageFormat> extendedImageFormatFor(int32_t imageType, bool eightBitOutput,
                                                          bool swapOrder) {
    switch (imageType) {
        case 0:
            return ExtendedImageFormat{0, 1, 1, 0, 1, 8, 1, 8};
        case 2:
            return ExtendedImageFormat{2, 8, 8, 0, 1, 1, 1, 1};
        case 5:
            return ExtendedImageFormat{5, 8, 8, uint8_t(swapOrder ? 35 : 19), 3, 1, 3, 1};
        case 6:
            // Two 12-bit pixels travel in three bytes.
            return ExtendedImageFormat{6, 4, 4, 19, 2, 1, 3, 2};
        case 7:
            // 12-bit samples arrive as two bytes each, whatever the output keeps of them.
            return eightBitOutput ? ExtendedImageFormat{7, 8, 12, 19, 3, 1, 6, 1}
                                  : ExtendedImageFormat{7, 16, 12, 19, 6, 1, 6, 1};
        case 8:
            return eightBitOutput ? ExtendedImageFormat{8, 8, 12, 0, 1, 1, 2, 1}
                                  : ExtendedImageFormat{8, 16, 12, 0, 2, 1, 2, 1};
        default:
            return std::nullopt;
    }
}

std::optional<WidthFit> fitWidthAndLeft(uint32_t scanWidth, uint32_t scanLeft, uint32_t maxWidth,
                                        uint8_t bitsSent, bool mirror) {
    const int64_t w = scanWidth;
    const int64_t l = scanLeft;
    const int64_t maxW = maxWidth;
    const bool overflows = l + w > maxW;
    int64_t width = w;
    int64_t left = l;
    int64_t pad = 0;
    if (bitsSent >= 5 && bitsSent <= 8) {
        if (!mirror) {
            if (overflows) {
                width = maxW - l;
                pad = w - width;
            }
        } else if (overflows) {
            if (w > maxW) {
                return std::nullopt;
            }
            left = maxW - w;
        }
    } else if (!mirror) {
        const int64_t w8 = roundUpTo8(w);
        if (l + w8 <= maxW) {
            width = w8;
        } else {
            width = roundDownTo8(maxW - l);
            pad = w - width;
        }
    } else {
        // The right edge stays where the caller put it; the area grows or shrinks on the left.
        const int64_t w1 = overflows ? maxW - l : w;
        const int64_t right = l + w1;
        if (right - roundUpTo8(w1) >= 0) {
            width = roundUpTo8(w1);
            left = right - width;
        } else {
            width = roundDownTo8(w1);
            left = right - width;
            pad = left - l;
        }
    }
    // A negative width goes out as its 32-bit two's complement and fails the width limit.
    return WidthFit{static_cast<uint32_t>(width), static_cast<uint32_t>(left), low16(pad)};
}

std::optional<uint8_t> linesPerBlockFor(uint32_t deviceLineBytes) {
    if (deviceLineBytes == 0) {
        return std::nullopt;
    }
    const uint32_t lines = kExtendedBlockDataBytes / deviceLineBytes;
    if (lines == 0) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(lines > 255 ? 255 : lines);
}

void ExtendedScanner::takeScanArea(int32_t layoutCode) {
    scanWidth_ = static_cast<uint32_t>(block_->areaWidth);
    scanHeight_ = static_cast<uint32_t>(block_->areaHeight);
    scanLeft_ = static_cast<uint32_t>(block_->areaLeft);
    scanTop_ = static_cast<uint32_t>(block_->areaTop);
    layoutCode_ = layoutCode;
    swapOrder_ = layoutCode != 1 ? 1 : 0;
}

bool ExtendedScanner::setUpImageType() {
    const int32_t eightBitOutput = block_->eightBitOutput;
    const auto format =
        extendedImageFormatFor(block_->imageType, eightBitOutput != 0, swapOrder_ != 0);
    if (!format) {
        return false;
    }
    format_ = *format;
    return true;
}

void ExtendedScanner::setToneBytes() {
    const int32_t textEnhance = block_->textEnhance;
    const int32_t textEnhanceOption = block_->textEnhanceOption;
    const int16_t threshold = block_->threshold;
    const int16_t userGammaCode = block_->userGammaCode;
    paramBlock_.textEnhancement =
        textEnhance != 0 ? (textEnhanceOption != 0 ? 2 : 0) : (textEnhanceOption != 0 ? 1 : 0);
    if (threshold != kThresholdUnset) {
        paramBlock_.threshold = low8(threshold);
    } else if (userGammaCode == kThresholdGammaCode && textEnhanceOption != 0) {
        paramBlock_.threshold = kDefaultThreshold;
    }
}

bool ExtendedScanner::downloadTables() {
    const DeviceLink device = link();
    const int32_t userGammaEnabled = block_->userGammaEnabled;
    if (userGammaEnabled != 0) {
        if (!sendEscTable(device, 'z', 'R', block_->gammaTableR, kToneTableBytes) ||
            !sendEscTable(device, 'z', 'G', block_->gammaTableG, kToneTableBytes) ||
            !sendEscTable(device, 'z', 'B', block_->gammaTableB, kToneTableBytes)) {
            return false;
        }
        paramBlock_.gammaCode = low8(block_->userGammaCode);
        // The brightness byte keeps the previous build's value: the tables carry the tone.
    } else {
        paramBlock_.gammaCode = gammaCodeFor(block_->gammaValue);
        paramBlock_.brightness = low8(block_->brightness / 333);
    }
    const int32_t colorMatrixEnabled = block_->colorMatrixEnabled;
    if (colorMatrixEnabled != 0) {
        if (!sendEscTable(device, 'm', kNoSelector, block_->colorMatrix, kColorMatrixBytes)) {
            return false;
        }
        paramBlock_.colorCorrection = 1;
    } else {
        paramBlock_.colorCorrection = 0;
    }
    return true;
}

bool ExtendedScanner::sendParamBlock() {
    uint8_t bytes[sizeof(ExtendedParamBlock)];
    std::memcpy(bytes, &paramBlock_, sizeof bytes);
    return sendFs(port(), 'W') && readAck(link()) && port().writeBytes(bytes, sizeof bytes) &&
           readAck(link());
}

bool ExtendedScanner::buildParameters() {
    paramBlock_.source = block_->useOption;
    paramBlock_.filmType = block_->filmType;

    const int32_t monoChannelSelect = block_->monoChannelSelect;
    paramBlock_.colorCode =
        monoChannelSelect != 0 ? dropoutColorCode(block_->dropoutChannel) : format_.colorMode;
    paramBlock_.bitsPerSample = format_.bitsSent;

    const int32_t textEnhance = block_->textEnhance;
    if (textEnhance != 0) {
        paramBlock_.halftoneCode = kTextEnhanceHalftone;
    } else {
        // An index outside the table names no code; nothing is sent for it.
        const auto code = halftoneCodeFor(block_->halftoneIndex);
        if (!code) {
            return false;
        }
        paramBlock_.halftoneCode = *code;
    }
    setToneBytes();
    if (!downloadTables()) {
        return false;
    }

    const int32_t mirror = block_->mirror;
    paramBlock_.mirror = mirror != 0 ? 1 : 0;
    paramBlock_.sharpness = low8(block_->sharpness / 500);
    paramBlock_.scanSpeed = low8(block_->scanSpeed);

    const auto resolutionX = static_cast<uint32_t>(scaleByPercent(block_->resolutionX, block_->zoomX));
    const auto resolutionY = static_cast<uint32_t>(scaleByPercent(block_->zoomY, block_->resolutionY));
    paramBlock_.resolutionX = resolutionX;
    paramBlock_.resolutionY = resolutionY;

    // Open refuses a base resolution of 0, and useOption is 0 or 1 for any caller that drives
    // this family; anything else scans the flatbed's area rather than read past the table.
    const AreaSize area = sourceArea_[block_->useOption == 1 ? 1 : 0];
    const uint32_t base = baseResolution() != 0 ? baseResolution() : 1;
    const uint32_t maxWidth = area.width * resolutionX / base;
    const uint32_t maxHeight = area.height * resolutionY / base;

    const auto fit = fitWidthAndLeft(scanWidth_, scanLeft_, maxWidth, format_.bitsSent, mirror != 0);
    padPixels_ = 0;
    if (!fit || fit->width > kExtendedMaximumWidth) {
        return false;
    }
    padPixels_ = fit->padPixels;

    // A top beyond the maximum area would send a wrapped height.
    if (scanTop_ > maxHeight) {
        return false;
    }
    const uint32_t height = scanTop_ + scanHeight_ > maxHeight ? maxHeight - scanTop_ : scanHeight_;
    paramBlock_.left = fit->left;
    paramBlock_.top = scanTop_;
    paramBlock_.width = fit->width;
    paramBlock_.height = height;

    // Sized by what the device sends, so a block always matches the wire and the data buffer.
    deviceLineBytes_ = format_.devicePixelsPerUnit == 0
                           ? 0
                           : format_.deviceBytesPerUnit * fit->width / format_.devicePixelsPerUnit;
    const auto lines = linesPerBlockFor(deviceLineBytes_);
    if (!lines) {
        return false;
    }
    paramBlock_.linesPerBlock = *lines;
    return sendParamBlock();
}

}  // namespace vexscan
