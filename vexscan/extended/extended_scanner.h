// ExtendedScanner: devices driven with FS-prefixed commands (and a few shared ESC ones).
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
#include "vexscan/extended/extended_param_block.h"
#include "vexscan/extended/extended_params.h"
#include "vexscan/extended/extended_row_fit.h"
#include "vexscan/platform/platform.h"

namespace vexscan {

inline constexpr std::size_t kExtendedIdentitySize = 80;
inline constexpr std::size_t kExtendedStatusSize = 16;
inline constexpr std::size_t kExtendedStartReplySize = 14;
inline constexpr std::size_t kExtendedDataBufferSize = 65296;

// The code the status bits give, rules in their fixed order; 0 when none matches. `feederRules`
// adds the document-feeder conditions. The warm-up bit is not a rule here.
int32_t evaluateExtendedStatus(const uint8_t* status, bool feederRules);

class ExtendedScanner final : public ScannerDevice {
public:
    ExtendedScanner(CommPort& port, ScanParamBlock* block);

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

    // FS F and its 16-byte reply into statusReply.
    bool requestStatus();
    // The first step of a scan's set-up: the area copied from the caller's block, the line order.
    void takeScanArea(int32_t layoutCode);
    // The derived image format of the caller's image type; false for a type this family cannot
    // deliver (the previous format then stays).
    bool setUpImageType();
    // Fills paramBlock, downloads tone tables and colour matrix, sends the block with FS W.
    bool buildParameters();
    // Waits for the lamp; false with errorCode set (or kept, after 60 polls).
    bool waitForWarmUp();

    const ExtendedParamBlock& paramBlock() const { return paramBlock_; }
    const std::array<uint8_t, kExtendedStatusSize>& statusReply() const { return statusReply_; }
    int16_t padPixels() const { return padPixels_; }
    uint32_t deviceLineBytes() const { return deviceLineBytes_; }
    const ExtendedImageFormat& imageFormat() const { return format_; }
    uint32_t outputLineBytes() const { return outputLineBytes_; }
    uint32_t linesDone() const { return linesDone_; }
    const ExtendedRowFit& rowFit() const { return rowFit_; }

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

    bool identify();
    bool readIdentity();
    void storeResolutions();
    bool storeLevel();
    bool detectOption();
    void writeCapabilities();
    uint32_t identityWord(std::size_t offset) const;
    uint32_t baseResolution() const { return identityWord(4); }
    void setToneBytes();
    bool downloadTables();
    bool sendParamBlock();

    // Acquisition (extended_acquire.cpp, extended_block_reader.cpp).
    void refuseAcquire(InitAcquireResult* result, int32_t code);
    void prepareLines();
    void convertLine(const SourceLine& line, std::span<uint8_t> row);
    bool finishPage();
    bool startScan();
    bool requestStart();
    uint32_t startReplyWord(std::size_t offset) const;
    bool fetchLine(SourceLine& line);
    bool readBlock();
    bool answerBlock();

    ScanParamBlock* block_;
    WarmUpBinding warmUp_;
    int32_t isOpen_ = 0;
    int32_t errorCode_ = 0;
    int32_t levelIndex_ = 0;

    std::unique_ptr<uint8_t, FreeAllocation> dataBuffer_;
    std::array<uint8_t, kExtendedIdentitySize> identityReply_{};
    std::array<uint8_t, kExtendedStatusSize> statusReply_{};
    ExtendedParamBlock paramBlock_{};
    std::array<uint8_t, kExtendedStartReplySize> startReply_{};
    std::array<AreaSize, 2> sourceArea_{};  // 0 flatbed, 1 option; pixels at baseResolution

    // Scan state shared with the acquisition.
    int32_t layoutCode_ = 0;
    int32_t swapOrder_ = 0;
    int32_t abortRequested_ = 0;
    int32_t scanStarted_ = 0;
    uint32_t scanWidth_ = 0;
    uint32_t scanHeight_ = 0;
    uint32_t scanLeft_ = 0;
    uint32_t scanTop_ = 0;
    ExtendedImageFormat format_{};
    int16_t padPixels_ = 0;
    uint32_t deviceLineBytes_ = 0;

    // Acquisition state.
    ProgressCallback progressCallback_ = nullptr;
    int32_t eightBitOutput_ = 0;  // as the image format was derived
    int32_t acquireReady_ = 0;    // the last InitAcquire accepted its scan and no abort ended it
    int32_t endOfData_ = 0;
    uint32_t outputLineBytes_ = 0;
    uint32_t linesDone_ = 0;
    uint32_t blocksFetched_ = 0;
    std::size_t lineOffset_ = 0;      // the current device line in dataBuffer
    std::size_t blockDataBytes_ = 0;  // data bytes of the block that dataBuffer holds
    ExtendedRowFit rowFit_{};
    std::vector<uint8_t> blankLine_;  // a device line of white paper
};

}  // namespace vexscan
