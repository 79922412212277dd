// The device object behind the exports: one abstract interface, one implementation per command
// family, and the probe used while opening.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vexscan/api/vexscan.h"
#include "vexscan/comm/transport.h"

namespace vexscan {

// Where the attached option sits: the values of the block's optionKind, and of the device
// objects' attachedOption.
inline constexpr int32_t kOptionDocumentFeeder = 0;
inline constexpr int32_t kOptionFilmAdapter = 1;
inline constexpr int32_t kOptionNone = 2;

// The status field of InitAcquireResult and AcquireImageResult.
inline constexpr int32_t kStatusDone = 1;
inline constexpr int32_t kStatusFailed = 2;

// Operations in the fixed slot order that the exports mirror. Every device object carries the
// 100-byte replyBuffer that acknowledgements and short replies are read into.
class ScannerDevice {
public:
    explicit ScannerDevice(CommPort& port) : port_(port) {}
    ScannerDevice(const ScannerDevice&) = delete;
    ScannerDevice& operator=(const ScannerDevice&) = delete;

    virtual int32_t EnableOption(int32_t enable) = 0;                                        // slot 0
    virtual void Close() = 0;                                                                // slot 1
    virtual int32_t Open() = 0;                                                              // slot 2
    virtual int32_t GetError() = 0;                                                          // slot 3
    virtual int32_t Abort() = 0;                                                             // slot 4
    virtual void InitAcquire(int32_t layoutCode, ProgressCallback progressCallback,
                             InitAcquireResult* result) = 0;                                 // slot 5
    virtual void AcquireImage(uint8_t* buffer, uint32_t bufferSize,
                              AcquireImageResult* result) = 0;                               // slot 6
    virtual int32_t GetOptionStatus(int32_t optionKind) = 0;                                 // slot 7
    virtual int8_t SetFocus(int32_t autoFocus, int32_t focusPosition) = 0;                   // slot 8
    virtual int32_t GetScanPaperSize(int32_t sizeSelector, int32_t* width, int32_t* height) = 0; // slot 9
    virtual int32_t GetScannerName(char* name) = 0;                                          // slot 10

    // After the operations, so that slots 0 to 10 keep their order.
    virtual ~ScannerDevice() = default;

    CommPort& port() { return port_; }
    // What the transport routines need: the port and this object's replyBuffer.
    DeviceLink link() { return DeviceLink{port_, replyBuffer}; }

    uint8_t replyBuffer[kReplyBufferSize] = {};

private:
    CommPort& port_;
};

}  // namespace vexscan
