// The status reply turned into error codes, the lamp warm-up wait, the option switch, focus,
// paper size, the error read-back and Close.
#include "vexscan/comm/comm_port.h"
#include "vexscan/device/error_codes.h"
#include "vexscan/extended/extended_scanner.h"

namespace vexscan {
namespace {

constexpr uint8_t kWarmingUp = 0x02;
constexpr int kWarmUpPolls = 60;
constexpr uint32_t kWarmUpPollMilliseconds = 1000;

// Identity reply offsets read for the paper size.
constexpr std::size_t kSecondResolution = 12;
constexpr std::size_t kFeederArea = 28;

}  // namespace

int32_t evaluateExtendedStatus(const uint8_t* status, bool feederRules) {
    if ((status[0] & 0x40) != 0) return kErrorStatusFault;
    if ((status[3] & 0x02) != 0) return kErrorFurtherFault;
    if (feederRules && (status[1] & 0x40) != 0) {
        if ((status[1] & 0x02) != 0) return kErrorOption15;
        if ((status[1] & 0x04) != 0) return kErrorOption14;
        if ((status[1] & 0x08) != 0) return kErrorOption13;
    }
    if ((status[0] & 0x80) != 0) return kErrorDeviceFault;
    return 0;
}

bool ExtendedScanner::requestStatus() {
    return sendFs(port(), 'F') && port().readBytes(statusReply_.data(), kExtendedStatusSize);
}

int32_t ExtendedScanner::GetOptionStatus(int32_t optionKind) {
    if (!requestStatus()) {
        return kErrorBadReply;
    }
    return evaluateExtendedStatus(statusReply_.data(), optionKind == 0);
}

bool ExtendedScanner::waitForWarmUp() {
    // One poll: false when the wait must end with the code it leaves in errorCode.
    const auto poll = [this]() {
        if (!requestStatus()) {
            errorCode_ = kErrorBadReply;
            return false;
        }
        if (const int32_t code = evaluateExtendedStatus(statusReply_.data(), true); code != 0) {
            errorCode_ = code;
            return false;
        }
        return true;
    };
    if (!poll()) {
        return false;
    }
    if ((statusReply_[0] & kWarmingUp) == 0) {
        return true;
    }
    warmUp_.show(1);
    for (int i = 0; i < kWarmUpPolls; ++i) {
        // A failed poll leaves the indication shown, as the device's own fault takes over.
        if (!poll()) {
            return false;
        }
        if ((statusReply_[0] & kWarmingUp) == 0) {
            warmUp_.show(0);
            return true;
        }
        platform::sleepMilliseconds(kWarmUpPollMilliseconds);
    }
    warmUp_.show(0);
    return false;
}

int32_t ExtendedScanner::EnableOption(int32_t enable) {
    const uint8_t value = enable != 0 ? 1 : 0;
    if (!sendEscByte(link(), 'e', value)) {
        return 0;
    }
    paramBlock_.source = value;  // until the next parameter build sets it from useOption
    return 1;
}

int8_t ExtendedScanner::SetFocus(int32_t, int32_t focusPosition) {
    return static_cast<int8_t>(static_cast<uint8_t>(focusPosition & 0xFF));
}

int32_t ExtendedScanner::GetScanPaperSize(int32_t sizeSelector, int32_t* width, int32_t* height) {
    block_->paperWidthOut = 0;
    block_->paperHeightOut = 0;
    if (!readIdentity()) {
        return kErrorBadReply;
    }
    const uint32_t base = baseResolution();
    // The fresh reply is divided by: one without a base resolution cannot be used.
    if (base == 0) {
        return kErrorBadReply;
    }
    const auto product = [](uint32_t a, uint32_t b, uint32_t c) { return a * b * c; };
    uint32_t paperWidth = 0;
    uint32_t paperHeight = 0;
    if (sizeSelector != 0 || block_->useOption == 0) {
        const auto resolutionX = static_cast<uint32_t>(block_->resolutionX);
        const auto zoomX = static_cast<uint32_t>(block_->zoomX);
        const auto resolutionY = static_cast<uint32_t>(block_->resolutionY);
        const auto zoomY = static_cast<uint32_t>(block_->zoomY);
        // Products in 32 bits, the division by 100 signed and truncating toward zero.
        const int32_t scaledWidth =
            static_cast<int32_t>(product(sourceArea_[0].width, resolutionX, zoomX)) / 100;
        const int32_t scaledHeight =
            static_cast<int32_t>(product(sourceArea_[0].height, zoomY, resolutionY)) / 100;
        paperWidth = static_cast<uint32_t>(scaledWidth) / base;
        paperHeight = static_cast<uint32_t>(scaledHeight) / base;
    } else {
        const uint32_t resolution = identityWord(kSecondResolution);
        paperWidth = identityWord(kFeederArea) * resolution / 2 / base;
        paperHeight = resolution * identityWord(kFeederArea + 4) / 2 / base;
    }
    *width = static_cast<int32_t>(paperWidth);
    *height = static_cast<int32_t>(paperHeight);
    block_->paperWidthOut = static_cast<int32_t>(paperWidth);
    block_->paperHeightOut = static_cast<int32_t>(paperHeight);
    return 0;
}

int32_t ExtendedScanner::GetError() { return errorCode_; }

void ExtendedScanner::Close() {
    if (isOpen_ == 0) {
        return;
    }
    isOpen_ = 0;
    port().closePort();
    dataBuffer_.reset();
    // A scan does not outlive the port: nothing is left to acquire or to drain.
    acquireReady_ = 0;
    scanStarted_ = 0;
    endOfData_ = 1;
}

}  // namespace vexscan
