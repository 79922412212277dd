#include "tools/vexscan-scan/scan_session.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/vexscan-scan/error_text.h"
#include "tools/vexscan-scan/image_writer.h"
#include "tools/vexscan-scan/output_file.h"
#include "tools/vexscan-scan/progress_bar.h"
#include "tools/vexscan-scan/scan_settings.h"
#include "vexscan/api/vexscan.h"

namespace vexscan::tool {
namespace {

constexpr int32_t kOpened = 1;
constexpr int32_t kPortRefused = 37;
constexpr int32_t kStatusDone = 1;
// Rows top-down, channels in red, green, blue order; 4-bit rows packed without padding.
constexpr int32_t kTopDownLayout = 1;
// About this much image a call: many lines for a small page, at least one for any.
constexpr std::size_t kBufferBytes = 256 * 1024;
// A line the library announces beyond this is not one it can deliver.
constexpr int64_t kLargestLineBytes = 1 << 20;
// Calls that deliver no line before the page is given up.
constexpr int kIdleCallsAllowed = 3;
// A feeder that never runs out is a fault, not a stack of paper.
constexpr uint32_t kMostBatchPages = 9999;

enum class PageOutcome {
    Complete,
    CompleteAtPaperEnd,  // the page is whole and it was the feeder's last sheet
    NoPaper,             // the feeder was empty: nothing scanned
    Failed,
};

// The library calls back with plain percentages; the bar of the page being scanned shows them.
ProgressBar* activeProgressBar = nullptr;

void VEXSCAN_CALL reportProgress(int32_t percent) {
    if (activeProgressBar != nullptr) {
        activeProgressBar->show(percent);
    }
}

class Connection {
public:
    ~Connection() { PMCloseScanner(); }

    bool open(ScanParamBlock& block, std::string& error) {
        const int32_t result = PMOpenScanner(&block);
        if (result == kOpened) {
            return true;
        }
        const int32_t code = result == kPortRefused ? kPortRefused : PMGetScanError();
        error = code != 0 ? "cannot open the scanner: " + describeError(code)
                          : "cannot open the scanner: the communication driver did not load, is "
                            "not ready, or the scanner did not answer";
        return false;
    }
};

// Layouts the extended command family does not deliver.
bool classicOnly(PixelLayout layout) {
    return layout == PixelLayout::Gray4 || layout == PixelLayout::Color8 ||
           layout == PixelLayout::Color256;
}

bool usableGeometry(const InitAcquireResult& init, PixelLayout layout, std::string& error) {
    const int32_t width = init.pixelsPerLine;
    const int32_t lines = init.lineCount;
    const int32_t lineBytes = init.bytesPerLine;
    if (width > 0 && lines > 0 && lineBytes > 0 && lineBytes <= kLargestLineBytes &&
        static_cast<std::size_t>(lineBytes) >=
            packedRowBytes(layout, static_cast<uint32_t>(width))) {
        return true;
    }
    error = "the library announced a page it cannot deliver: " + std::to_string(width) +
            " pixels, " + std::to_string(lines) + " lines of " + std::to_string(lineBytes) +
            " bytes";
    return false;
}

class PageScan {
public:
    PageScan(const Options& options, const ScanGeometry& geometry, OutputFile& output)
        : options_(options), geometry_(geometry), output_(output) {}

    PageOutcome run(std::string& error) {
        InitAcquireResult init{};
        PMInitAcquire(kTopDownLayout, options_.progress ? &reportProgress : nullptr, &init);
        if (init.status != kStatusDone) {
            error = "the scanner refused the scan set-up: " + describeError(PMGetScanError());
            if (classicOnly(options_.mode.layout)) {
                error += "; " + std::string(options_.mode.name) +
                         " is a mode of the classic-family scanners only (see --list-devices)";
            }
            return PageOutcome::Failed;
        }
        if (!usableGeometry(init, options_.mode.layout, error)) {
            return PageOutcome::Failed;
        }
        header_ = ImageHeader{options_.mode.layout, static_cast<uint32_t>(init.pixelsPerLine),
                              static_cast<uint32_t>(init.lineCount),
                              static_cast<uint32_t>(geometry_.dotsPerInch)};
        lineBytes_ = static_cast<std::size_t>(init.bytesPerLine);
        linesPerCall_ = std::clamp<std::size_t>(kBufferBytes / lineBytes_, 1, header_.height);
        buffer_.assign(linesPerCall_ * lineBytes_, 0);
        return acquireLines(error);
    }

private:
    PageOutcome acquireLines(std::string& error) {
        int idleCalls = 0;
        for (;;) {
            AcquireImageResult result{};
            PMAcquireImage(buffer_.data(), static_cast<uint32_t>(buffer_.size()), &result);
            bool paperEnd = false;
            if (result.status != kStatusDone) {
                const int32_t code = PMGetScanError();
                // The feeder's last sheet: the library delivered the whole page, then found no
                // further sheet. An empty feeder fails the start, before any line.
                paperEnd = code == kErrorPaperOut && result.pageDone == 1;
                if (code == kErrorPaperOut && rowsDone_ == 0 && result.pageDone != 1) {
                    error = "no paper to scan: " + describeError(code);
                    return PageOutcome::NoPaper;
                }
                if (!paperEnd) {
                    error = "the scan failed after " + std::to_string(rowsDone_) + " of " +
                            std::to_string(header_.height) + " lines: " + describeError(code);
                    return PageOutcome::Failed;
                }
            }
            const int32_t delivered = result.linesDelivered;
            if (delivered < 0 || static_cast<std::size_t>(delivered) > linesPerCall_ ||
                rowsDone_ + static_cast<uint32_t>(delivered) > header_.height) {
                error = "the library reported " + std::to_string(delivered) +
                        " lines for a buffer of " + std::to_string(linesPerCall_) + " with " +
                        std::to_string(header_.height - rowsDone_) + " lines left";
                return abandon();
            }
            if (!writeRows(static_cast<uint32_t>(delivered), error)) {
                return abandon();
            }
            if (result.pageDone == 1) {
                return finishPage(paperEnd, error);
            }
            idleCalls = delivered == 0 ? idleCalls + 1 : 0;
            if (idleCalls > kIdleCallsAllowed) {
                error = "the library delivered no lines after " + std::to_string(rowsDone_) +
                        " of " + std::to_string(header_.height);
                return abandon();
            }
        }
    }

    bool writeRows(uint32_t count, std::string& error) {
        if (writer_ == nullptr) {
            std::FILE* file = output_.open(error);
            if (file == nullptr) {
                return false;
            }
            writer_ = makeImageWriter(options_.format, file, header_, error);
            if (writer_ == nullptr) {
                error = "\"" + output_.path() + "\": " + error;
                return false;
            }
        }
        for (uint32_t row = 0; row < count; ++row) {
            const std::span<const uint8_t> line(buffer_.data() + row * lineBytes_, lineBytes_);
            if (!writer_->writeRow(line)) {
                error = "\"" + output_.path() + "\": " + writer_->error();
                return false;
            }
        }
        rowsDone_ += count;
        return true;
    }

    PageOutcome finishPage(bool paperEnd, std::string& error) {
        if (rowsDone_ != header_.height || writer_ == nullptr) {
            error = "the page ended after " + std::to_string(rowsDone_) + " of " +
                    std::to_string(header_.height) + " lines";
            return PageOutcome::Failed;
        }
        if (!writer_->finish()) {
            error = "\"" + output_.path() + "\": " + writer_->error();
            return PageOutcome::Failed;
        }
        if (!output_.close(error)) {
            return PageOutcome::Failed;
        }
        return paperEnd ? PageOutcome::CompleteAtPaperEnd : PageOutcome::Complete;
    }

    // Stops the device's transfer so that the connection closes cleanly.
    PageOutcome abandon() {
        PMAbortScan();
        return PageOutcome::Failed;
    }

    const Options& options_;
    const ScanGeometry& geometry_;
    OutputFile& output_;
    ImageHeader header_;
    std::size_t lineBytes_ = 0;
    std::size_t linesPerCall_ = 0;
    std::vector<uint8_t> buffer_;
    std::unique_ptr<ImageWriter> writer_;
    uint32_t rowsDone_ = 0;
};

void reportFailure(const std::string& program, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", program.c_str(), message.c_str());
}

// Scans one page into `output`; a failed page leaves no file behind.
PageOutcome scanPage(const Options& options, const ScanGeometry& geometry, OutputFile& output,
                     uint32_t page, std::string& error) {
    std::unique_ptr<ProgressBar> bar;
    if (options.progress) {
        bar = std::make_unique<ProgressBar>(stderr, "Page " + std::to_string(page));
        activeProgressBar = bar.get();
    }
    PageScan scan(options, geometry, output);
    const PageOutcome outcome = scan.run(error);
    if (bar) {
        bar->finish();
        activeProgressBar = nullptr;
    }
    if (outcome == PageOutcome::Failed || outcome == PageOutcome::NoPaper) {
        output.discard();
    }
    return outcome;
}

int scanOneFile(const Options& options, const ScanGeometry& geometry, const std::string& program) {
    OutputFile output(options.outputFile);
    std::string error;
    // Found out before the scanner moves: an output that cannot be written.
    if (output.open(error) == nullptr) {
        reportFailure(program, error);
        return kExitFailure;
    }
    if (const PageOutcome outcome = scanPage(options, geometry, output, 1, error);
        outcome == PageOutcome::Failed || outcome == PageOutcome::NoPaper) {
        reportFailure(program, error);
        return kExitFailure;
    }
    return kExitSuccess;
}

int scanBatch(const Options& options, const ScanGeometry& geometry, const std::string& program) {
    for (uint32_t page = 1; page <= kMostBatchPages; ++page) {
        OutputFile output(pageFileName(*options.batch, page));
        std::string error;
        switch (scanPage(options, geometry, output, page, error)) {
            case PageOutcome::Complete:
                std::fprintf(stderr, "Scanned page %u to %s\n", page, output.path().c_str());
                // Only the feeder holds more than one sheet.
                if (options.source != ScanSource::Feeder) {
                    return kExitSuccess;
                }
                break;
            case PageOutcome::CompleteAtPaperEnd:
                std::fprintf(stderr, "Scanned page %u to %s; the document feeder is empty\n", page,
                             output.path().c_str());
                return kExitSuccess;
            case PageOutcome::NoPaper:
                if (page > 1) {
                    std::fprintf(stderr, "The document feeder is empty: %u pages scanned\n",
                                 page - 1);
                    return kExitSuccess;
                }
                reportFailure(program, error);
                return kExitFailure;
            case PageOutcome::Failed:
                reportFailure(program, "page " + std::to_string(page) + ": " + error);
                return kExitFailure;
        }
    }
    reportFailure(program, "the document feeder never reported its last sheet; stopped after " +
                               std::to_string(kMostBatchPages) + " pages");
    return kExitFailure;
}

}  // namespace

int runScan(const Options& options, const std::string& program) {
    // The library keeps the block's address from the open to the close.
    static ScanParamBlock block;
    block = ScanParamBlock{};
    Connection connection;
    std::string error;
    if (!connection.open(block, error)) {
        reportFailure(program, error);
        return kExitFailure;
    }
    std::string note;
    const auto geometry = applyScanSettings(options, block, error, note);
    if (!geometry) {
        reportFailure(program, error);
        return kExitFailure;
    }
    if (!note.empty()) {
        std::fprintf(stderr, "%s: note: %s\n", program.c_str(), note.c_str());
    }
    return options.batch ? scanBatch(options, *geometry, program)
                         : scanOneFile(options, *geometry, program);
}

}  // namespace vexscan::tool
