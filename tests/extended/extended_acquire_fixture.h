// An extended device opened on the simulator with settings for a small page, and the loop any
// caller runs: InitAcquire, then AcquireImage until the page is done, rows put back in page
// order whatever the transfer layout.
#pragma once

#include <algorithm>
#include <vector>

#include "tests/extended/extended_fixture.h"
#include "tests/support/scanned_page.h"

namespace vexscan::test {

// The caller's buffer is filled with this before every call: bytes the library must not write
// (the rounding of each row to 4 bytes, rows beyond those delivered) keep it.
inline constexpr uint8_t kUntouched = 0xA5;

struct PageRequest {
    int32_t imageType = 2;
    int32_t layoutCode = 1;
    bool eightBit = false;
    bool mirror = false;
    bool invert = false;
    int16_t threshold = 128;
    uint8_t useOption = 0;
    // At 300 dpi the flatbed of extended-b7 is 2550 x 3510 pixels.
    uint32_t left = 1000;
    uint32_t top = 500;
    uint32_t width = 203;
    uint32_t height = 40;
    uint32_t bufferLines = 16;  // the caller's buffer holds this many output lines
};

class ExtendedAcquireTest : public ExtendedTest {
public:
    explicit ExtendedAcquireTest(std::string profile = "extended-b7")
        : ExtendedTest(std::move(profile)) {}

    void SetUp() override {
        ExtendedTest::SetUp();
        reportedProgress.clear();
    }

    // A fresh device of `profile`, opened, with the page's settings in the caller's block.
    void openFor(const std::string& profile, const PageRequest& page) {
        restart(profile);
        ASSERT_EQ(open(), 1);
        prepare(page);
    }

    void prepare(const PageRequest& page) {
        ScanParamBlock& b = *block();
        b.imageType = page.imageType;
        b.eightBitOutput = page.eightBit ? 1 : 0;
        b.resolutionX = 300;
        b.resolutionY = 300;
        b.zoomX = 100;
        b.zoomY = 100;
        b.areaLeft = static_cast<int32_t>(page.left);
        b.areaTop = static_cast<int32_t>(page.top);
        b.areaWidth = static_cast<int32_t>(page.width);
        b.areaHeight = static_cast<int32_t>(page.height);
        b.mirror = page.mirror ? 1 : 0;
        b.invertLineArt = page.invert ? 1 : 0;
        b.threshold = page.threshold;
        b.useOption = page.useOption;
        b.holdPageAtEnd = 0;
        b.hostWindow = 0;
        b.monoChannelSelect = 0;
        b.dropoutChannel = 0;
        b.filmType = 0;
        b.scanSpeed = 0;
        b.halftoneIndex = 0;
        b.textEnhance = 0;
        b.textEnhanceOption = 0;
        b.userGammaCode = 0;
        b.userGammaEnabled = 0;
        b.colorMatrixEnabled = 0;
        b.gammaValue = 100;
        b.brightness = 0;
        b.sharpness = 0;
    }

    InitAcquireResult init(int32_t layoutCode, ProgressCallback progress = nullptr) {
        InitAcquireResult result{};
        PMInitAcquire(layoutCode, progress, &result);
        return result;
    }

    // One AcquireImage into a buffer of `lines` output lines; the rows delivered are appended to
    // `page` in page order.
    AcquireImageResult acquire(uint32_t lines, ScannedPage& page, int32_t layoutCode) {
        const auto lineBytes = static_cast<uint32_t>(page.init.bytesPerLine);
        std::vector<uint8_t> buffer(std::size_t{lines} * lineBytes, kUntouched);
        AcquireImageResult result{};
        PMAcquireImage(buffer.data(), static_cast<uint32_t>(buffer.size()), &result);
        page.calls.push_back(result);
        const auto delivered = static_cast<uint32_t>(std::max(result.linesDelivered, 0));
        const bool topDown = layoutCode == 1 || layoutCode == 3;
        for (uint32_t i = 0; i < delivered && i < lines; ++i) {
            const uint32_t row = topDown ? i : delivered - 1 - i;
            const auto start = buffer.begin() + static_cast<std::ptrdiff_t>(row * lineBytes);
            page.rows.emplace_back(start, start + lineBytes);
        }
        // Rows the call did not deliver stay as they were.
        for (std::size_t k = std::size_t{delivered} * lineBytes; k < buffer.size(); ++k) {
            if (buffer[k] != kUntouched) {
                ADD_FAILURE() << "byte " << k << " beyond the delivered rows was written";
                break;
            }
        }
        return result;
    }

    // The whole page, call after call, until it is done or a call fails.
    ScannedPage scan(const PageRequest& request, ProgressCallback progress = nullptr) {
        ScannedPage page;
        page.init = init(request.layoutCode, progress);
        if (page.init.status != 1) {
            return page;
        }
        for (int guard = 0; guard < 100000; ++guard) {
            const AcquireImageResult result =
                acquire(request.bufferLines, page, request.layoutCode);
            if (result.status != 1 || result.pageDone != 0) {
                break;
            }
        }
        return page;
    }

    // Data bytes handed over by each read of the driver, in order (failed reads included).
    std::vector<std::size_t> readSizes() const {
        std::vector<std::size_t> sizes;
        for (const sim::LogEntry& entry : device->log().entries()) {
            if (entry.call == sim::DriverCall::Read) sizes.push_back(entry.bytes.size());
        }
        return sizes;
    }
    std::size_t writeCount() const {
        std::size_t count = 0;
        for (const sim::LogEntry& entry : device->log().entries()) {
            if (entry.call == sim::DriverCall::Write) ++count;
        }
        return count;
    }

    // 8-bit grey this wide gives blocks of 100 lines.
    static constexpr uint32_t kHundredLineWidth = 652;  // 65280 / 652 = 100 lines of 8-bit grey

    // A grey page from the bed's left edge whose blocks hold 100 lines each.
    static PageRequest hundredLineBlocks(uint32_t height) {
        PageRequest request;
        request.width = kHundredLineWidth;
        request.left = 0;
        request.height = height;
        return request;
    }

protected:
    RecordedSleeps sleeps_;
};

}  // namespace vexscan::test
