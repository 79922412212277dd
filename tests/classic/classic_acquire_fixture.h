// A classic device opened on the simulator with settings for a small page, and the loop any
// caller runs: InitAcquire, then AcquireImage until the page is done, rows put back in page
// order whatever the transfer layout.
#pragma once

#include <vector>

#include "tests/classic/classic_scanner_fixture.h"
#include "tests/support/scanned_page.h"

namespace vexscan::test {

struct PageRequest {
    int32_t imageType = 2;
    int32_t layoutCode = 1;
    bool eightBit = false;
    uint32_t left = 13;
    uint32_t top = 7;
    uint32_t width = 37;
    uint32_t height = 23;
    uint32_t bufferLines = 7;  // the caller's buffer holds this many output lines
};

class ClassicAcquireTest : public ClassicScannerTest {
protected:
    void openFor(const std::string& profile) {
        openDevice(profile);
        reportedProgress.clear();
    }

    void prepare(const PageRequest& page) {
        block.resolutionX = 300;
        block.resolutionY = 300;
        block.zoomX = 100;
        block.zoomY = 100;
        block.gammaValue = 100;
        block.halftoneIndex = 0;
        block.threshold = 128;
        block.imageType = page.imageType;
        block.eightBitOutput = page.eightBit ? 1 : 0;
        block.areaLeft = static_cast<int32_t>(page.left);
        block.areaTop = static_cast<int32_t>(page.top);
        block.areaWidth = static_cast<int32_t>(page.width);
        block.areaHeight = static_cast<int32_t>(page.height);
    }

    InitAcquireResult init(const PageRequest& page, ProgressCallback progress = nullptr) {
        prepare(page);
        InitAcquireResult result{};
        scanner->InitAcquire(page.layoutCode, progress, &result);
        return result;
    }

    // One AcquireImage call into a buffer of `lines` output lines (may be fractional through
    // `extraBytes`); the rows it filled, in page order.
    AcquireImageResult acquire(uint32_t lineBytes, uint32_t lines, int32_t layoutCode,
                               std::vector<Bytes>& rows, uint32_t extraBytes = 0) {
        std::vector<uint8_t> buffer(std::size_t{lineBytes} * lines + extraBytes, 0xA5);
        AcquireImageResult result{};
        scanner->AcquireImage(buffer.data(), static_cast<uint32_t>(buffer.size()), &result);
        const bool topDown = layoutCode == 1 || layoutCode == 3;
        const auto delivered = static_cast<uint32_t>(result.status == 1 ? result.linesDelivered : 0);
        for (uint32_t i = 0; i < delivered; ++i) {
            const uint32_t row = topDown ? i : delivered - 1 - i;
            const auto start = buffer.begin() + static_cast<std::ptrdiff_t>(row * lineBytes);
            rows.emplace_back(start, start + lineBytes);
        }
        return result;
    }

    ScannedPage scan(const PageRequest& page, ProgressCallback progress = nullptr) {
        ScannedPage scanned;
        scanned.init = init(page, progress);
        if (scanned.init.status != 1) return scanned;
        const auto lineBytes = static_cast<uint32_t>(scanned.init.bytesPerLine);
        for (int call = 0; call < 10000; ++call) {
            scanned.calls.push_back(
                acquire(lineBytes, page.bufferLines, page.layoutCode, scanned.rows));
            const AcquireImageResult& last = scanned.calls.back();
            if (last.status != 1 || last.pageDone != 0) break;
        }
        return scanned;
    }
};

}  // namespace vexscan::test
