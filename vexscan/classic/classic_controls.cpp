// The classic device's status and control operations: option status and switch, focus, paper
// size, error code and close.
#include <algorithm>
#include <array>

#include "vexscan/classic/classic_scanner.h"
#include "vexscan/classic/classic_status_bits.h"
#include "vexscan/comm/comm_port.h"
#include "vexscan/device/error_codes.h"
#include "vexscan/platform/platform.h"

namespace vexscan {
namespace {

constexpr int32_t kFocusLevel = 8;  // only this level has a focus drive
constexpr uint8_t kFocusOffset = 64;
constexpr uint8_t kFocusFailed = 0xFF;
constexpr uint8_t kFocusFailedBit = 0x01;
constexpr int8_t kFocusFailedResult = -100;
constexpr uint32_t kAutoFocusWait = 20000;  // milliseconds the focus drive needs
constexpr std::size_t kFocusReplyData = 28;
constexpr std::size_t kFocusDataNeeded = 2;  // failure flag and position

}  // namespace

int32_t ClassicScanner::GetError() { return errorCode_; }

int32_t ClassicScanner::GetOptionStatus(int32_t optionKind) {
    uint8_t* status = statusBuffer_.data();
    if (!readExtendedStatus(status, statusBuffer_.size())) {
        return kErrorBadReply;
    }
    const uint8_t* data = status + ReplyHeader::kSize;
    if ((status[1] & kStatusHeaderFault) != 0) return kErrorStatusFault;
    if ((data[kStatusFurther] & kFurtherFault) != 0) return kErrorFurtherFault;
    if (optionKind == kOptionDocumentFeeder && (data[kStatusFeeder] & kOptionStatusValid) != 0) {
        const uint8_t feeder = data[kStatusFeeder];
        if ((feeder & kFeederCondition14) != 0) return kErrorOption14;
        if ((feeder & kFeederCondition15) != 0) return kErrorOption15;
        if ((feeder & kFeederCondition13) != 0) return kErrorOption13;
        return 0;
    }
    if (optionKind == kOptionFilmAdapter && (data[kStatusFilm] & kOptionStatusValid) != 0) {
        return (data[kStatusFilm] & kFilmCondition15) != 0 ? kErrorOption15 : 0;
    }
    if (optionKind != kOptionDocumentFeeder && optionKind != kOptionFilmAdapter &&
        optionKind != kOptionNone) {
        return 0;
    }
    const bool fault =
        (status[1] & kStatusHeaderBusy) != 0 || (data[kStatusMain] & kMainFault) != 0;
    return fault ? kErrorDeviceFault : 0;
}

int32_t ClassicScanner::EnableOption(int32_t enable) {
    const int32_t optionKind = block_->optionKind;
    // A film adapter only knows on and off.
    const uint8_t value = optionKind == kOptionFilmAdapter && enable != 0
                              ? uint8_t{1}
                              : static_cast<uint8_t>(enable & 0xFF);
    return sendEscByte(link(), 'e', value) ? 1 : 0;
}

int8_t ClassicScanner::SetFocus(int32_t autoFocus, int32_t focusPosition) {
    const int32_t level = block_->levelIndex;
    const auto position = static_cast<uint8_t>(focusPosition & 0xFF);
    if (level != kFocusLevel) {
        return static_cast<int8_t>(position);
    }
    const uint8_t driven = driveFocus(autoFocus, static_cast<uint8_t>(position + kFocusOffset));
    if (driven == kFocusFailed) {
        return kFocusFailedResult;
    }
    return static_cast<int8_t>(static_cast<uint8_t>(driven - kFocusOffset));
}

uint8_t ClassicScanner::driveFocus(int32_t autoFocus, uint8_t deviceByte) {
    errorCode_ = 0;
    if (autoFocus == 0) {
        sendEscByte(link(), 'p', deviceByte);
        return deviceByte;
    }
    // The device focuses on the area of the programmed scan; a set-up limit does not stop it.
    setUpScan();
    sendEscByte(link(), 'p', kFocusFailed);
    platform::sleepMilliseconds(kAutoFocusWait);
    if (!sendEsc(port(), 'q')) {
        return kFocusFailed;
    }
    std::array<uint8_t, ReplyHeader::kSize> headerBytes{};
    if (!port().readBytes(headerBytes.data(), ReplyHeader::kSize)) {
        return kFocusFailed;
    }
    const ReplyHeader header = ReplyHeader::parse(headerBytes.data());
    if (!header.valid()) {
        return kFocusFailed;
    }
    // A longer reply is read to its end and only its first bytes kept; one too short to carry
    // the position counts as a failed focus.
    std::array<uint8_t, kFocusReplyData> data{};
    const ReplyBodyRead body = readReplyBody(port(), data.data(), data.size(), header.count);
    if (!body.ok || body.stored < kFocusDataNeeded) {
        return kFocusFailed;
    }
    if ((data[0] & kFocusFailedBit) != 0) {
        return kFocusFailed;
    }
    return data[1];
}

int32_t ClassicScanner::GetScanPaperSize(int32_t sizeSelector, int32_t* width, int32_t* height) {
    block_->paperWidthOut = 0;
    block_->paperHeightOut = 0;
    if (!readExtendedStatus(replyBuffer, sizeof replyBuffer)) {
        return kErrorBadReply;
    }
    const auto store = [width, height](uint32_t w, uint32_t h) {
        if (width != nullptr) *width = static_cast<int32_t>(w);
        if (height != nullptr) *height = static_cast<int32_t>(h);
    };
    const uint8_t* data = replyBuffer + ReplyHeader::kSize;
    // The option sizes are passed on as the device counts them, at its maximum resolution.
    if (sizeSelector == 0 && (data[kStatusFeeder] & kOptionStatusValid) != 0) {
        const uint16_t w = readWord(&data[kStatusFeederArea]);
        const uint16_t h = readWord(&data[kStatusFeederArea + 2]);
        store(w, h);
        block_->paperWidthOut = w;
        block_->paperHeightOut = h;
        return 0;
    }
    if ((sizeSelector == 0 || sizeSelector == 1) && (data[kStatusFilm] & kOptionStatusValid) != 0) {
        store(readWord(&data[kStatusFilmArea]), readWord(&data[kStatusFilmArea + 2]));
        return 0;
    }
    // The flatbed at the scan resolution; in 64 bits so a large resolution cannot wrap.
    const uint32_t maximum = maximumResolution();
    const auto resolutionX = static_cast<uint32_t>(block_->resolutionX);
    const auto resolutionY = static_cast<uint32_t>(block_->resolutionY);
    store(static_cast<uint32_t>(uint64_t{sourceArea_[0].width} * resolutionX / maximum),
          static_cast<uint32_t>(uint64_t{sourceArea_[0].height} * resolutionY / maximum));
    return 0;
}

void ClassicScanner::Close() {
    if (isOpen_ == 0) {
        return;
    }
    isOpen_ = 0;
    resolutionTable_.reset();
    resolutionCount_ = 0;
    if (attachedOption_ != kOptionNone) {
        // Switch the option off; the device is closed whatever it answers.
        const uint8_t off = 0;
        sendEsc(port(), 'e');
        readAck(link());
        port().writeBytes(&off, 1);
        readAck(link());
    }
    port().closePort();
    dataBuffer_.reset();
}

}  // namespace vexscan
