// Programming a classic device for a scan: one fixed, ordered run of parameter commands built
// from the caller's block, the device's level and the geometry the acquisition prepared.
#include "vexscan/classic/classic_setup.h"

#include <cassert>
#include <initializer_list>

#include "vexscan/api/percent.h"
#include "vexscan/classic/classic_scanner.h"
#include "vexscan/comm/comm_port.h"
#include "vexscan/device/byte_alignment.h"
#include "vexscan/device/code_tables.h"
#include "vexscan/device/error_codes.h"

namespace vexscan {
namespace {

// Above this the device is driven at 4800 dpi and the zoom carries the rest.
constexpr int32_t kHighestDeviceResolution = 4800;
// Above this product of zoom and resolution the maximum width is computed in two steps.
constexpr int64_t kTwoStepWidthProduct = 80000;
// Limits of the area command.
constexpr int64_t kWordLimit = 0xFFFF;
constexpr int64_t kWidestArea = 0x7FF0;       // levels 7 and 8
constexpr int64_t kClampedWidth = 0x3F00;     // other levels
constexpr int64_t kLargestLineBits = 256000;  // other levels
constexpr int64_t kLevelOneWidth = 4096;
constexpr int16_t kThresholdNotSet = -1;
constexpr std::size_t kGammaTableSize = 256;
constexpr uint16_t kColorMatrixSize = 9;
constexpr std::size_t kSetupReplySize = 4;
constexpr uint8_t kImageDepthDeep = 12;  // ESC D for the 16-bit image kinds


bool isOneOf(int32_t value, std::initializer_list<int32_t> values) {
    for (int32_t candidate : values) {
        if (value == candidate) return true;
    }
    return false;
}

// Levels 7 and 8 take positions and sizes up to 16 bits and refuse anything beyond.
void applyWideLevelLimits(AlignedArea& area) {
    if (area.left > kWordLimit || area.top > kWordLimit || area.left + area.width > kWordLimit ||
        area.top + area.height > kWordLimit) {
        area.send = false;
        area.errorCode = kErrorAreaPosition;
    } else if (area.width > kWidestArea || area.height > kWordLimit) {
        area.send = false;
        area.errorCode = kErrorAreaSize;
    }
}

// The other levels scan a narrower area and report when it had to be cut.
void applyNarrowLevelLimits(AlignedArea& area, int32_t levelIndex, uint8_t bitsPerChannel) {
    bool limited = false;
    if (area.width > kClampedWidth) {
        area.width = kClampedWidth;
        limited = true;
    }
    if (roundDownTo8(int64_t{bitsPerChannel} * area.width) > kLargestLineBits) {
        limited = true;
    }
    if (area.width > kLevelOneWidth && levelIndex == 1) {
        area.width = kLevelOneWidth;
        limited = true;
    }
    if (limited) {
        area.errorCode = kErrorDoesNotFit;
    }
}

}  // namespace

uint8_t classicColorCode(int32_t monoChannelSelect, int32_t dropoutChannel, uint8_t colorMode,
                         int32_t colorModeVariant) {
    if (monoChannelSelect != 0) {
        return dropoutColorCode(dropoutChannel);
    }
    if (colorMode == 2 && colorModeVariant == 1) {
        return 1;
    }
    return colorMode;
}

std::optional<uint8_t> classicHalftoneCode(int32_t textEnhance, int32_t levelIndex,
                                           int32_t halftoneIndex) {
    if (textEnhance != 0 && isOneOf(levelIndex, {3, 4, 6, 7, 8})) {
        return uint8_t{3};
    }
    return halftoneCodeFor(halftoneIndex);
}

uint8_t classicTextEnhanceCode(int32_t textEnhance, int32_t textEnhanceOption) {
    if (textEnhance != 0) {
        return textEnhanceOption != 0 ? 2 : 0;
    }
    return textEnhanceOption != 0 ? 1 : 0;
}

DeviceResolution classicDeviceResolution(int32_t resolutionX, int32_t resolutionY, int32_t zoomX,
                                         int32_t zoomY) {
    if (resolutionX <= kHighestDeviceResolution) {
        return {static_cast<uint16_t>(resolutionX), static_cast<uint16_t>(resolutionY),
                static_cast<uint8_t>(zoomX), static_cast<uint8_t>(zoomY)};
    }
    // Formed in 64 bits: the caller's zoom and resolution must not wrap the product.
    DeviceResolution result{};
    result.resolutionX = kHighestDeviceResolution;
    result.zoomX = static_cast<uint8_t>(int64_t{zoomX} * resolutionX / kHighestDeviceResolution);
    if (resolutionY > kHighestDeviceResolution) {
        result.resolutionY = kHighestDeviceResolution;
        result.zoomY =
            static_cast<uint8_t>(int64_t{zoomY} * resolutionY / kHighestDeviceResolution);
    } else {
        result.resolutionY = static_cast<uint16_t>(resolutionY);
        result.zoomY = static_cast<uint8_t>(zoomY);
    }
    return result;
}

int64_t classicMaximumWidth(uint32_t sourceWidth, uint16_t maximumResolution, int32_t resolutionX,
                            int32_t zoomX) {
    assert(maximumResolution != 0 && "identification refuses a maximum resolution of 0");
    const int64_t product = int64_t{zoomX} * resolutionX;
    if (product > kTwoStepWidthProduct) {
        const auto effective = static_cast<uint16_t>(scaleByPercent(resolutionX, zoomX));
        const int32_t inPercent = percentOf(static_cast<int32_t>(sourceWidth), maximumResolution);
        return roundDownTo8(scaleByPercent(inPercent, effective));
    }
    // In 64 bits: a wide source times a large product passes 32 bits.
    return (int64_t{sourceWidth} * product / maximumResolution + 50) / 100;
}

AlignedArea classicAlignArea(const AreaRequest& request) {
    AlignedArea area;
    area.top = request.top;
    area.height = request.height;
    const int64_t maximum = request.maximumWidth;
    const int64_t requestedLeft = request.left;
    const int64_t requestedWidth = request.width;
    // An area that starts beyond the widest scan has nothing left to scan; cutting it to the
    // maximum would give a negative width.
    if (requestedLeft > maximum) {
        area.left = requestedLeft;
        area.width = requestedWidth;
        area.send = false;
        area.errorCode = kErrorAreaPosition;
        return area;
    }

    int64_t x = requestedLeft;
    int64_t w = requestedWidth;
    if (request.levelIndex >= 3 && request.mirror != 0) {
        // The device mirrors: its line starts at the right edge, which stays in place.
        int64_t right = x + w;
        if (right > maximum) {
            w = maximum - x;
            right = maximum;
        }
        if (right - roundUpTo8(w) >= 0) {
            w = roundUpTo8(w);
            x = right - w;
        } else {
            w = roundDownTo8(w);
            x = right - w;
            area.padPixels = static_cast<uint16_t>(x - requestedLeft);
        }
    } else {
        const int64_t rounded = roundUpTo8(requestedWidth);
        if (x + rounded > maximum) {
            w = roundDownTo8(maximum - x);
            area.padPixels = static_cast<uint16_t>(requestedWidth - w);
        } else {
            w = rounded;
            if (request.mirror != 0 && request.scanSpeed != 1) {
                area.padPixels = static_cast<uint16_t>(rounded - requestedWidth);
            }
        }
    }
    area.left = x;
    area.width = w;

    if (request.levelIndex == 7 || request.levelIndex == 8) {
        applyWideLevelLimits(area);
    } else {
        applyNarrowLevelLimits(area, request.levelIndex, request.bitsPerChannel);
    }
    return area;
}

void ClassicScanner::setScanGeometry(const ScanGeometry& geometry) {
    scanLeft_ = geometry.left;
    scanTop_ = geometry.top;
    scanWidth_ = geometry.width;
    scanHeight_ = geometry.height;
    imageKind_ = geometry.imageKind;
    bitsPerChannel_ = geometry.bitsPerChannel;
    colorMode_ = geometry.colorMode;
}

void ClassicScanner::setUpScan() {
    // The block is packed: every field is copied out before use.
    const ScanParamBlock& b = *block_;
    const uint8_t useOption = b.useOption;
    const int32_t halftoneIndex = b.halftoneIndex;
    const int32_t textEnhance = b.textEnhance;
    const int32_t textEnhanceOption = b.textEnhanceOption;
    const int32_t level = levelIndex_;

    // The source and halftone choices index fixed tables; a value outside them is refused before
    // the device is touched, so it is never left half-programmed.
    const std::optional<uint8_t> halftone = classicHalftoneCode(textEnhance, level, halftoneIndex);
    if (useOption > 1 || !halftone) {
        errorCode_ = kErrorDoesNotFit;
        return;
    }

    const DeviceLink device = link();
    if (!sendEsc(port(), 'F')) {
        return;
    }
    // The reply tells nothing the set-up needs; it is read so the stream stays in step.
    port().readBytes(replyBuffer, kSetupReplySize);

    if (hasOption_ == 1) {
        sendEscByte(device, 'e', useOption);
    }
    if (level >= 6) {
        sendEscByte(device, 'N', b.filmType);
    }
    sendEscByte(
        device, 'C',
        classicColorCode(b.monoChannelSelect, b.dropoutChannel, colorMode_, b.colorModeVariant));
    sendEscByte(device, 'D',
                imageKind_ == 7 || imageKind_ == 8 ? kImageDepthDeep : bitsPerChannel_);
    sendEscByte(device, 'B', *halftone);
    if (isOneOf(level, {4, 6, 7, 8})) {
        sendEscByte(device, 's', classicTextEnhanceCode(textEnhance, textEnhanceOption));
    }
    const int16_t threshold = b.threshold;
    if (level >= 7 && threshold != kThresholdNotSet) {
        sendEscByte(device, 't', static_cast<uint8_t>(threshold & 0xFF));
    }

    const bool userGamma = b.userGammaEnabled != 0;
    bool gammaSent = false;
    if (userGamma && isOneOf(level, {2, 3, 6, 7, 8})) {
        sendEscTable(device, 'z', 'R', b.gammaTableR, kGammaTableSize);
        sendEscTable(device, 'z', 'G', b.gammaTableG, kGammaTableSize);
        sendEscTable(device, 'z', 'B', b.gammaTableB, kGammaTableSize);
        gammaSent = true;
    } else if (userGamma && level == 4) {
        sendEscTable(device, 'z', 'm', b.gammaTableR, kGammaTableSize);
        gammaSent = true;
    }
    const int16_t userGammaCode = b.userGammaCode;
    sendEscByte(
        device, 'Z',
        gammaSent ? static_cast<uint8_t>(userGammaCode & 0xFF) : gammaCodeFor(b.gammaValue));
    if (!gammaSent) {
        const int32_t brightness = b.brightness;
        sendEscByte(device, 'L', static_cast<uint8_t>((brightness / 333) & 0xFF));
    }

    if (level != 4) {
        const bool matrix = level >= 2 && b.colorMatrixEnabled != 0;
        if (matrix) {
            sendEscTable(device, 'm', kNoSelector, b.colorMatrix, kColorMatrixSize);
        }
        sendEscByte(device, 'M', matrix ? 1 : 0);
    }
    const int32_t mirror = b.mirror;
    if (level >= 3) {
        sendEscByte(device, 'K', mirror != 0 ? 1 : 0);
    }
    const int32_t scanSpeed = b.scanSpeed;
    if (level >= 2) {
        const int32_t sharpness = b.sharpness;
        sendEscByte(device, 'Q', static_cast<uint8_t>((sharpness / 500) & 0xFF));
        sendEscByte(device, 'g', static_cast<uint8_t>(scanSpeed & 0xFF));
    }

    const int32_t resolutionX = b.resolutionX;
    const int32_t zoomX = b.zoomX;
    const DeviceResolution sent =
        classicDeviceResolution(resolutionX, b.resolutionY, zoomX, b.zoomY);
    sendEscTwoWords(device, 'R', sent.resolutionX, sent.resolutionY);
    sendEscTwoBytes(device, 'H', sent.zoomX, sent.zoomY);

    const auto maximum = static_cast<uint16_t>(maximumResolution());
    const AreaRequest request{
        level,
        mirror,
        scanSpeed,
        bitsPerChannel_,
        scanLeft_,
        scanTop_,
        scanWidth_,
        scanHeight_,
        classicMaximumWidth(sourceArea_[useOption].width, maximum, resolutionX, zoomX)};
    const AlignedArea area = classicAlignArea(request);
    padPixels_ = area.padPixels;
    if (area.send) {
        sendEscFourWords(device, 'A', static_cast<uint16_t>(area.left),
                         static_cast<uint16_t>(area.top), static_cast<uint16_t>(area.width),
                         static_cast<uint16_t>(area.height));
    }
    if (area.errorCode != 0) {
        errorCode_ = area.errorCode;
    }
}

}  // namespace vexscan
