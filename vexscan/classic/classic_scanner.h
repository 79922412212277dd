// ClassicScanner: devices driven with ESC-prefixed commands.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "vexscan/convert/source_line.h"
#include "vexscan/device/scanner_device.h"
#include "vexscan/device/warm_up_binding.h"
#include "vexscan/platform/platform.h"

namespace vexscan {

// Usable size of the image data buffer; the allocation carries a little slack beyond it.
inline constexpr uint32_t kClassicDataBufferSize = 65280;
inline constexpr std::size_t kClassicDataBufferAllocation = 65296;
// Device lines are read behind the first bytes of the data buffer; a block never exceeds the room
// left behind them in the allocation.
inline constexpr std::size_t kClassicBlockOffset = 10;
inline constexpr std::size_t kClassicBlockRoom = kClassicDataBufferAllocation - kClassicBlockOffset;

// The current block's header, shared by every classic device object of the process: bytes per
// line (the block's size without blocks) and the status byte.
extern uint16_t currentLineBytes;
extern uint16_t currentBlockStatus;

// The extended status reply (ESC f) is cleared over this many bytes before every exchange, so a
// short reply reads as all bits clear.
inline constexpr std::size_t kExtendedStatusClearedBytes = 16;

// The levelIndex of a two-character command level, 0 for a level the family does not drive.
// Levels whose second character is '2' or lower are refused before this mapping is consulted.
int32_t classicLevelIndex(char first, char second);

class ClassicScanner final : public ScannerDevice {
public:
    ClassicScanner(CommPort& port, ScanParamBlock* block);

    int32_t EnableOption(int32_t enable) override;
    void Close() override;
    int32_t Open() override;
    int32_t GetError() override;
    int32_t Abort() override;
    void InitAcquire(int32_t layoutCode, ProgressCallback progressCallback,
                     InitAcquireResult* result) override;
    void AcquireImage(uint8_t* buffer, uint32_t bufferSize, AcquireImageResult* result) override;
    int32_t GetOptionStatus(int32_t optionKind) override;
    int8_t SetFocus(int32_t autoFocus, int32_t focusPosition) override;
    int32_t GetScanPaperSize(int32_t sizeSelector, int32_t* width, int32_t* height) override;
    int32_t GetScannerName(char* name) override;

    // ESC f into `buffer` (header and data, at most `capacity` bytes kept; a longer reply is read
    // to its end). Below level index 2 nothing is sent and the cleared buffer is the answer.
    bool readExtendedStatus(uint8_t* buffer, std::size_t capacity);

    // The optionKind encoding of attachedOption; sets hasOption.
    int32_t selectOption();

    // Programs the device for the scan prepared in the geometry below. Callers clear the error
    // code first and judge the outcome by it alone: non-zero means the scan must not start.
    void setUpScan();
    // Polls the status until the lamp is ready (at most 60 polls a second apart); false with the
    // error code set on a fault or when the lamp never gets ready.
    bool waitForWarmUp();
    // Moves the focus to `deviceByte`, or lets the device find it; the position reached, or 0xFF
    // when automatic focusing failed.
    uint8_t driveFocus(int32_t autoFocus, uint8_t deviceByte);

    // What the acquisition prepares for the set-up: area in pixels and lines, image kind, and
    // the depth and colour codes sent with ESC D and ESC C.
    struct ScanGeometry {
        uint32_t left = 0;
        uint32_t top = 0;
        uint32_t width = 200;
        uint32_t height = 300;
        int32_t imageKind = 0;
        uint8_t bitsPerChannel = 1;
        uint8_t colorMode = 0;
    };
    void setScanGeometry(const ScanGeometry& geometry);
    // Pixels by which the device line and the requested line differ, from the last set-up.
    uint16_t padPixels() const { return padPixels_; }

    // The acquisition's internals, public so that tests reach each step on its own.
    bool startScan(uint32_t lineBytes);
    bool fetchLine(SourceLine& line);
    uint8_t* nextBlockLine();
    void selectImageKind(int32_t imageType);
    int32_t errorCode() const { return errorCode_; }
    int32_t imageKind() const { return imageKind_; }
    uint32_t outputLineBytes() const { return outputLineBytes_; }
    int32_t blockMode() const { return blockMode_; }

    // Tests make the data buffer allocation fail through this; null restores the heap.
    using BufferAllocator = void* (*)(std::size_t size);
    static BufferAllocator setBufferAllocatorForTesting(BufferAllocator allocator);

private:
    struct AreaSize {
        uint32_t width = 0;
        uint32_t height = 0;
    };
    struct FreeAllocation {
        void operator()(uint8_t* memory) const { platform::freeAllocation(memory); }
    };

    // Steps of Open, each returning false when the open stops there.
    bool allocateDataBuffer();
    bool openConnection();
    bool readIdentity(uint16_t& dataLength);
    bool storeIdentity(uint16_t dataLength);
    bool storeLevel();
    bool detectOption();
    void writeCapabilities();
    uint32_t maximumResolution() const;
    // Pixels at the maximum resolution in hundredths of an inch, kept to the low 16 bits.
    int32_t inHundredths(uint32_t pixels) const;

    ScanParamBlock* block_;
    WarmUpBinding warmUp_;
    int32_t isOpen_ = 0;
    int32_t errorCode_ = 0;
    int32_t levelIndex_ = 0;

    std::unique_ptr<uint16_t[]> resolutionTable_;
    uint16_t resolutionCount_ = 0;
    std::array<AreaSize, 2> sourceArea_{};  // 0 flatbed, 1 option; pixels at the maximum resolution
    int32_t attachedOption_ = kOptionNone;
    int32_t hasOption_ = 0;

    // Status and warm-up replies (header and up to 76 data bytes) land here, so replyBuffer
    // keeps what it held.
    std::array<uint8_t, 80> statusBuffer_{};

    std::unique_ptr<uint8_t, FreeAllocation> dataBuffer_;
    uint32_t dataBufferSize_ = 0;

    // Scan state, set up by the acquisition sequence.
    uint32_t scanWidth_ = 200;
    uint32_t scanHeight_ = 300;
    uint32_t scanLeft_ = 0;
    uint32_t scanTop_ = 0;
    uint16_t padPixels_ = 0;
    int32_t imageKind_ = 0;
    uint8_t bitsPerChannel_ = 1;
    uint8_t colorMode_ = 0;
    int32_t pixelsPerUnit_ = 0;
    int32_t bytesPerUnit_ = 0;
    uint32_t outputLineBytes_ = 0;
    uint32_t totalLines_ = 0;
    uint32_t linesDone_ = 0;
    int32_t layoutCode_ = 0;
    ProgressCallback progressCallback_ = nullptr;
    int32_t startNeeded_ = 0;
    int32_t scanning_ = 0;
    int32_t blockMode_ = 0;
    int32_t abortActive_ = 0;
    int32_t abortRequested_ = 0;
    int32_t resetOnAbort_ = 0;
    uint16_t blockLineCount_ = 0;
    uint16_t blockLineIndex_ = 0;
    int32_t startHeaderPending_ = 0;
    std::array<uint8_t, 6> startHeader_{};
    uint32_t blockLineBytes_ = 0;
    int32_t pageDone_ = 0;
    int32_t eightBitOutput_ = 0;
    // Bytes of one line as the device sends it (one colour plane for the plane kinds).
    uint32_t deviceLineBytes_ = 0;
    // The first two colour planes of a plane-kind line, kept while the third is fetched (the
    // next block may overwrite the data buffer in between).
    std::vector<uint8_t> planeCopy_;

    bool fetchDeviceLine(std::span<const uint8_t>& out);
    void convertLine(const SourceLine& line, std::span<uint8_t> row, int swapOrder);
    void finishPage(AcquireImageResult* result);
};

}  // namespace vexscan
