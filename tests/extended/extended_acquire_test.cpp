// Acquisition from the simulated extended device: InitAcquire's geometry and limits, the lines
// each AcquireImage call takes, progress, the block reads and their answers, the feeder's page
// end, the start and its failures, block faults, and Abort at every stage.
#include <functional>

#include "tests/extended/extended_acquire_fixture.h"
#include "vexscan/extended/extended_row_fit.h"

namespace vexscan::test {
namespace {

constexpr uint8_t kAckByte = 0x06;
constexpr uint8_t kCanByte = 0x18;
constexpr uint8_t kEjectByte = 0x0C;
const Bytes kStart{0x1C, 'G'};

Bytes writesAfter(const Bytes& all, const Bytes& marker) {
    const auto found = std::search(all.begin(), all.end(), marker.begin(), marker.end());
    return found == all.end() ? Bytes{} : Bytes(found + static_cast<std::ptrdiff_t>(marker.size()), all.end());
}

// ---- InitAcquire ----------------------------------------------------------------------------

TEST_F(ExtendedAcquireTest, InitAcquireSizesTheLineAndTestsTheLimitsInOrder) {
    const struct {
        const char* name;
        int32_t type;
        bool eightBit;
        int64_t width, height, left, top;
        int32_t status, error, bytesPerLine;
    } cases[] = {
        {"line art, 1 pixel", 0, false, 1, 10, 0, 0, 1, 0, 4},
        {"line art, 33 pixels in 5 bytes", 0, false, 33, 10, 0, 0, 1, 0, 8},
        {"24-bit colour, 5 pixels", 5, false, 5, 10, 0, 0, 1, 0, 16},
        {"16-bit grey kept to 8 bits", 8, true, 3, 10, 0, 0, 1, 0, 4},
        {"48-bit colour kept to 8 bits", 7, true, 3, 10, 0, 0, 1, 0, 12},
        {"widest line", 2, false, 32752, 65535, 0, 0, 1, 0, 32752},
        {"too wide", 2, false, 32753, 10, 0, 0, 2, 35, 32756},
        {"too high", 2, false, 10, 65536, 0, 0, 2, 35, 12},
        {"too wide comes before beyond the limit", 2, false, 32753, 10, 70000, 0, 2, 35, 32756},
        {"left beyond 65535", 2, false, 10, 10, 65536, 0, 2, 34, 12},
        {"top beyond 65535", 2, false, 10, 10, 0, 65536, 2, 34, 12},
        {"right edge beyond 65535", 2, false, 32752, 10, 32784, 0, 2, 34, 32752},
        {"bottom edge beyond 65535", 2, false, 10, 65535, 0, 1, 2, 34, 12},
        {"right edge at 65535", 2, false, 32752, 10, 32783, 0, 1, 0, 32752},
        {"beyond the limit comes before the line size", 7, false, 20000, 10, 60000, 0, 2, 34, 120000},
        {"48-bit colour filling a block", 7, false, 10880, 10, 0, 0, 1, 0, 65280},
        {"48-bit colour beyond a block", 7, false, 10881, 10, 0, 0, 2, 16, 65288},
        {"12-bit colour at its limit", 6, false, 16384, 10, 0, 0, 1, 0, 32768},
        {"12-bit colour beyond its limit", 6, false, 16385, 10, 0, 0, 2, 16, 32772},
        {"no width", 2, false, 0, 10, 0, 0, 2, 16, 0},
        {"no height", 2, false, 10, 0, 0, 0, 2, 16, 12},
        {"4-bit grey is not a type of this family", 1, false, 10, 10, 0, 0, 2, 16, 0},
        {"8 colours neither", 3, false, 10, 10, 0, 0, 2, 16, 0},
        {"256 colours neither", 4, false, 10, 10, 0, 0, 2, 16, 0},
        {"no type 9", 9, false, 10, 10, 0, 0, 2, 16, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageRequest request;
        request.imageType = c.type;
        request.eightBit = c.eightBit;
        openFor("extended-b7", request);
        ScanParamBlock& b = *block();
        b.areaWidth = static_cast<int32_t>(c.width);
        b.areaHeight = static_cast<int32_t>(c.height);
        b.areaLeft = static_cast<int32_t>(c.left);
        b.areaTop = static_cast<int32_t>(c.top);
        device->log().clear();

        const InitAcquireResult result = init(1);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(PMGetScanError(), c.error);
        EXPECT_EQ(result.bytesPerLine, c.bytesPerLine);
        EXPECT_EQ(result.pixelsPerLine, static_cast<int32_t>(c.width));
        EXPECT_EQ(result.lineCount, static_cast<int32_t>(c.height));
        EXPECT_TRUE(device->log().entries().empty());

        if (c.status == 2) {
            // A refused scan is not acquired: no traffic, and the refusal's code stays.
            std::vector<uint8_t> buffer(1 << 16);
            AcquireImageResult acquired{};
            PMAcquireImage(buffer.data(), static_cast<uint32_t>(buffer.size()), &acquired);
            EXPECT_EQ(acquired.status, 2);
            EXPECT_EQ(PMGetScanError(), c.error);
            EXPECT_TRUE(device->log().entries().empty());
        }
    }
}

TEST(ExtendedRowFit, TheScanWidthIsWhatEveryRowReceives) {
    const auto format = [](int32_t type, bool eightBit) {
        return *extendedImageFormatFor(type, eightBit, false);
    };
    const struct {
        const char* name;
        ExtendedImageFormat format;
        uint32_t scanWidth, deviceWidth;
        ExtendedRowFit fit;
    } cases[] = {
        {"8-bit grey inside the bed", format(2, false), 203, 203, {203, 0, 203, 203}},
        {"8-bit grey clipped", format(2, false), 203, 150, {203, 53, 150, 203}},
        {"16-bit grey widened to 8 pixels", format(8, false), 203, 208, {203, 0, 203, 406}},
        {"16-bit grey kept to 8 bits, clipped", format(8, true), 203, 144, {203, 59, 144, 203}},
        {"48-bit colour widened", format(7, false), 5, 8, {5, 0, 5, 30}},
        {"12-bit colour clipped", format(6, false), 161, 144, {161, 17, 144, 322}},
        {"24-bit colour clipped", format(5, false), 203, 150, {203, 53, 150, 609}},
        // Line art counts bytes: the bytes of the scan width, or all the device sent and a fill.
        {"line art widened", format(0, false), 203, 208, {26, 0, 203, 26}},
        {"line art clipped", format(0, false), 203, 144, {18, 59, 144, 26}},
        {"line art mirrored at the left edge", format(0, false), 203, 200, {25, 3, 200, 26}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ExtendedRowFit fit = fitDeviceLineToRow(c.format, c.scanWidth, c.deviceWidth);
        EXPECT_EQ(fit.count, c.fit.count);
        EXPECT_EQ(fit.padCount, c.fit.padCount);
        EXPECT_EQ(fit.devicePixels, c.fit.devicePixels);
        EXPECT_EQ(fit.rowBytes, c.fit.rowBytes);
    }
}

// ---- Lines per call -------------------------------------------------------------------------

TEST_F(ExtendedAcquireTest, LinesThatFitAreCountedIn16Bits) {
    PageRequest request;
    request.imageType = 0;
    request.width = 8;  // 4 bytes a line
    request.height = 3;
    const struct {
        const char* name;
        uint32_t bufferSize;
        int32_t status, delivered;
    } cases[] = {
        {"smaller than a line", 3, 2, 0},
        {"exactly 65536 lines", 65536u * 4, 2, 0},
        {"65537 lines take one", 65537u * 4, 1, 1},
        {"two lines", 8, 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        openFor("extended-b7", request);
        ASSERT_EQ(init(1).status, 1);
        device->log().clear();
        std::vector<uint8_t> buffer(std::max<uint32_t>(c.bufferSize, 4), kUntouched);
        AcquireImageResult result{};
        PMAcquireImage(buffer.data(), c.bufferSize, &result);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.linesDelivered, c.delivered);
        EXPECT_EQ(PMGetScanError(), 0);
        if (c.status == 2) {
            EXPECT_TRUE(device->log().entries().empty());
        }
    }
}

TEST_F(ExtendedAcquireTest, ProgressEveryFiveLinesOfACallAnd100AtPageEnd) {
    PageRequest request;
    request.height = 100;
    request.bufferLines = 12;
    openFor("extended-b7", request);
    const ScannedPage page = scan(request, &recordProgress);
    ASSERT_EQ(page.calls.back().pageDone, 1);
    std::vector<int32_t> expected;
    for (uint32_t start = 0; start < 100; start += 12) {
        for (uint32_t i = 0; i < 12 && start + i < 100; i += 5) {
            expected.push_back(static_cast<int32_t>(start + i));
        }
    }
    expected.push_back(100);
    ASSERT_GE(expected.size(), 3u);
    EXPECT_EQ((std::vector<int32_t>{expected[0], expected[1], expected[2]}),
              (std::vector<int32_t>{0, 5, 10}));
    EXPECT_EQ(reportedProgress, expected);
}

// ---- Blocks ---------------------------------------------------------------------------------

TEST_F(ExtendedAcquireTest, ABlockIsReadOnlyWhenItsFirstLineIsDue) {
    PageRequest request = hundredLineBlocks(250);
    openFor("extended-b7", request);
    ScannedPage page;
    page.init = init(1);
    ASSERT_EQ(page.init.status, 1);

    constexpr std::size_t kFull = 100 * kHundredLineWidth + 1;
    constexpr std::size_t kLast = 50 * kHundredLineWidth + 1;
    std::vector<uint32_t> linesWithARead;
    for (uint32_t line = 0; line < 250; ++line) {
        device->log().clear();
        ASSERT_EQ(acquire(1, page, 1).status, 1) << "line " << line;
        // A block and its status byte come in one read.
        for (std::size_t size : readSizes()) {
            if (size == kFull || size == kLast) linesWithARead.push_back(line);
        }
        const Bytes w = written();
        const bool acknowledged = !w.empty() && w.back() == kAckByte;
        EXPECT_EQ(acknowledged, line == 0 || line == 100) << "line " << line;
    }
    EXPECT_EQ(linesWithARead, (std::vector<uint32_t>{0, 100, 200}));
    EXPECT_EQ(device->extended().parameters.linesPerBlock, 100);
    EXPECT_EQ(device->extended().acknowledged, 2u);
    EXPECT_EQ(device->extended().strayAnswers, 0u);
}

TEST_F(ExtendedAcquireTest, WithNoFullBlockTheFirstReadIsTheLastBlockAndGetsNoAnswer) {
    PageRequest request;
    request.width = 100;
    request.height = 50;
    request.bufferLines = 50;
    openFor("extended-b7", request);
    device->log().clear();
    const ScannedPage page = scan(request);
    ASSERT_EQ(page.calls.size(), 1u);
    EXPECT_EQ(page.calls[0].status, 1);
    EXPECT_EQ(page.calls[0].pageDone, 1);
    const std::vector<std::size_t> reads = readSizes();
    ASSERT_GE(reads.size(), 2u);
    EXPECT_EQ(reads[reads.size() - 2], 14u);
    EXPECT_EQ(reads.back(), 50u * 100 + 1);
    EXPECT_TRUE(writesAfter(written(), kStart).empty());
}

TEST_F(ExtendedAcquireTest, LargestBlockFitsTheDataBuffer) {
    PageRequest request;
    request.imageType = 7;  // 10880 pixels of 6 bytes: exactly one block a line
    request.left = 0;
    request.width = 10880;
    request.height = 3;
    request.bufferLines = 1;
    openFor("extended-b7", request);
    block()->resolutionX = 1200;
    block()->zoomX = 200;
    const ScannedPage page = scan(request);
    EXPECT_EQ(page.calls.back().status, 1);
    EXPECT_EQ(page.calls.back().pageDone, 1);
    EXPECT_EQ(device->extended().parameters.linesPerBlock, 1);
    EXPECT_EQ(device->extended().blocksSent, 3u);
}

TEST_F(ExtendedAcquireTest, BlockSizesBeyondTheDataBufferAreRefusedUnread) {
    const struct {
        const char* name;
        uint32_t height;
        std::size_t sizeByte;  // raised by 65536 in the start reply
    } cases[] = {
        {"full block", 250, 4},
        {"last block", 50, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageRequest request = hundredLineBlocks(c.height);
        openFor("extended-b7", request);
        device->faults().replyEdits.push_back({sim::commandKey(0x1C, 'G'), std::nullopt, c.sizeByte, 0x01});
        ScannedPage page;
        page.init = init(1);
        device->log().clear();
        const AcquireImageResult result = acquire(10, page, 1);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(PMGetScanError(), 9);
        // Nothing is read after the start reply.
        EXPECT_EQ(readSizes().back(), 14u);
    }
}

// ---- Transfer faults ------------------------------------------------------------------------

class ExtendedTransferTest : public ExtendedAcquireTest {
public:
    // extended-b8 starts without a warm-up wait, so the status is free for the fault; it is
    // given a feeder so the feeder's conditions count.
    void openWithFeeder(const PageRequest& request) {
        restart("extended-b8");
        device->profile().option = sim::OptionKind::DocumentFeeder;
        device->profile().optionWidth = 10200;
        device->profile().optionHeight = 16800;
        ASSERT_EQ(open(), 1);
        ASSERT_EQ(block()->optionKind, 0);
        prepare(request);
    }
};

TEST_F(ExtendedTransferTest, ABlockFaultReportsTheStatusCode) {
    const struct {
        const char* name;
        std::function<void(sim::ExtendedDeviceState&)> fault;
        int32_t error;
    } cases[] = {
        {"fault the status cannot name", [](sim::ExtendedDeviceState&) {}, 9},
        {"paper jam", [](sim::ExtendedDeviceState& s) { s.jamAtBlock(0); }, 13},
        {"double feed", [](sim::ExtendedDeviceState& s) { s.doubleFeedAtBlock(0); }, 15},
        {"status fault bit 0x40", [](sim::ExtendedDeviceState& s) { s.faultStatusBits[0] = 0x40; }, 39},
        {"further status 0x02", [](sim::ExtendedDeviceState& s) { s.faultStatusBits[3] = 0x02; }, 40},
        {"device fault 0x80 is a transfer fault", [](sim::ExtendedDeviceState& s) { s.faultStatusBits[0] = 0x80; }, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageRequest request;
        request.height = 30;
        openWithFeeder(request);
        device->extended().faultAtBlock = 0;
        c.fault(device->extended());
        const ScannedPage page = scan(request);
        ASSERT_EQ(page.calls.size(), 1u);
        EXPECT_EQ(page.calls[0].status, 2);
        EXPECT_EQ(page.calls[0].linesDelivered, 16);  // written before the first line failed
        EXPECT_EQ(PMGetScanError(), c.error);
        // The status was asked, and no answer went to the faulty block.
        const Bytes after = writesAfter(written(), kStart);
        EXPECT_TRUE(bytesEqual({0x1C, 'F'}, after));
    }
}

TEST_F(ExtendedTransferTest, AStatusThatCannotBeReadAfterABlockFaultGives7) {
    PageRequest request;
    openWithFeeder(request);
    device->extended().faultAtBlock = 0;
    ScannedPage page;
    page.init = init(1);
    device->faults().refusedCommands = {sim::commandKey(0x1C, 'F')};
    EXPECT_EQ(acquire(16, page, 1).status, 2);
    EXPECT_EQ(PMGetScanError(), 7);
}

TEST_F(ExtendedTransferTest, AFaultInALaterBlockKeepsTheLinesBeforeIt) {
    PageRequest request = hundredLineBlocks(250);
    request.bufferLines = 150;
    openWithFeeder(request);
    device->extended().jamAtBlock(1);
    ScannedPage page;
    page.init = init(1);
    const AcquireImageResult result = acquire(150, page, 1);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.linesDelivered, 150);
    EXPECT_EQ(PMGetScanError(), 13);
    EXPECT_EQ(device->extended().acknowledged, 1u);
}

TEST_F(ExtendedTransferTest, UnreadableBlocksAndUnwrittenAnswersGive9) {
    const struct {
        const char* name;
        std::function<void(sim::DeviceModel&, std::size_t writesBefore)> fault;
    } cases[] = {
        {"second block cut short",
         [](sim::DeviceModel& d, std::size_t) {
             d.faults().replyEdits.push_back({sim::controlKey(kAckByte), std::size_t{100}, std::nullopt, 0});
         }},
        // FS W, the block, FS G, then the ACK.
        {"ACK not written",
         [](sim::DeviceModel& d, std::size_t writesBefore) {
             d.faults().failWriteCall = static_cast<uint32_t>(writesBefore + 3);
         }},
        {"first block not readable",
         [](sim::DeviceModel& d, std::size_t) {
             d.faults().replyEdits.push_back({sim::commandKey(0x1C, 'G'), std::size_t{20}, std::nullopt, 0});
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageRequest request = hundredLineBlocks(250);
        openWithFeeder(request);
        ScannedPage page;
        page.init = init(1);
        c.fault(*device, writeCount());
        const AcquireImageResult result = acquire(150, page, 1);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(PMGetScanError(), 9);
    }
}

// ---- Start ----------------------------------------------------------------------------------

TEST_F(ExtendedAcquireTest, StartFailures) {
    const struct {
        const char* name;
        const char* profile;
        std::function<void(sim::DeviceModel&)> fault;
        int32_t error;
    } cases[] = {
        {"parameter block refused", "extended-b8",
         [](sim::DeviceModel& d) { d.faults().refusedCommands = {sim::commandKey(0x1C, 'W')}; }, 22},
        {"FS G refused", "extended-b8",
         [](sim::DeviceModel& d) { d.faults().refusedCommands = {sim::commandKey(0x1C, 'G')}; }, 22},
        {"start reply not beginning with STX", "extended-b8",
         [](sim::DeviceModel& d) {
             d.faults().replyEdits.push_back({sim::commandKey(0x1C, 'G'), std::nullopt, std::size_t{0}, 0x15});
         }, 22},
        {"start reply cut short", "extended-b8",
         [](sim::DeviceModel& d) {
             d.faults().replyEdits.push_back({sim::commandKey(0x1C, 'G'), std::size_t{10}, std::nullopt, 0});
         }, 22},
        {"not ready twice, nothing in the status", "extended-b8",
         [](sim::DeviceModel& d) { d.extended().notReadyStarts = 2; }, 22},
        {"second start reply not beginning with STX", "extended-b8",
         [](sim::DeviceModel& d) {
             d.addCommand(sim::commandKey(0x1C, 'G'), [](sim::DeviceModel& model) {
                 Bytes reply(14, 0);
                 reply[0] = model.extended().startRequests++ == 0 ? 0x02 : 0x15;
                 reply[1] = 0x80;
                 model.reply(reply);
             });
         }, 9},
        {"warm-up wait ends on a status fault", "extended-b7",
         [](sim::DeviceModel& d) { d.extended().statusBits[0] = 0x40; }, 39},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageRequest request;
        openFor(c.profile, request);
        c.fault(*device);
        const ScannedPage page = scan(request);
        ASSERT_EQ(page.calls.size(), 1u);
        EXPECT_EQ(page.calls[0].status, 2);
        EXPECT_EQ(page.calls[0].linesDelivered, 0);
        EXPECT_EQ(PMGetScanError(), c.error);
        // No block was taken: none was answered.
        const Bytes after = writesAfter(written(), kStart);
        EXPECT_EQ(std::count(after.begin(), after.end(), kAckByte), 0);
    }
}

TEST_F(ExtendedAcquireTest, ANotReadyDeviceIsWaitedForAndStartedAgain) {
    PageRequest request;
    openFor("extended-b8", request);
    device->extended().notReadyStarts = 1;
    device->extended().warmUpPollsLeft = 2;
    device->log().clear();
    const ScannedPage page = scan(request);
    EXPECT_EQ(page.calls.back().status, 1);
    EXPECT_EQ(page.calls.back().pageDone, 1);
    // FS W with its block, FS G (not ready), the warm-up polls, FS G again.
    const Bytes w = written();
    const Bytes fromBlock(w.begin() + 2 + 64, w.end());
    EXPECT_TRUE(bytesEqual(join({kStart, kStatus, kStatus, kStatus, kStart}), fromBlock));
    EXPECT_EQ(device->extended().startRequests, 2u);
}

TEST_F(ExtendedAcquireTest, Level7WaitsForTheLampBeforeTheFirstStart) {
    PageRequest request;
    openFor("extended-b7", request);
    device->extended().warmUpPollsLeft = 2;
    device->log().clear();
    const ScannedPage page = scan(request);
    EXPECT_EQ(page.calls.back().status, 1);
    const Bytes w = written();
    const Bytes fromBlock(w.begin() + 2 + 64, w.end());
    EXPECT_TRUE(bytesEqual(join({kStatus, kStatus, kStatus, kStart}), fromBlock));
    EXPECT_EQ(sleeps_.calls(), (std::vector<uint32_t>{1000}));
}

// ---- Page end and the feeder ----------------------------------------------------------------

TEST_F(ExtendedAcquireTest, FeederPagesAreEjectedUnlessHeld) {
    const struct {
        const char* name;
        uint8_t useOption;
        uint8_t feederFlagA;
        int32_t holdPageAtEnd;
        bool ejected;
    } cases[] = {
        {"feeder page", 1, 0, 0, true},
        {"flag A alone", 1, 1, 0, true},
        {"hold alone", 1, 0, 1, true},
        {"flag A and hold", 1, 1, 7, false},
        {"flatbed page", 0, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageRequest request;
        request.useOption = c.useOption;
        openFor("extended-b7", request);
        block()->feederFlagA = c.feederFlagA;
        block()->holdPageAtEnd = c.holdPageAtEnd;
        device->log().clear();
        const ScannedPage page = scan(request);
        EXPECT_EQ(page.calls.back().status, 1);
        EXPECT_EQ(page.calls.back().pageDone, 1);
        const Bytes after = writesAfter(written(), kStart);
        EXPECT_TRUE(bytesEqual(c.ejected ? join({{kEjectByte}, kStatus}) : Bytes{}, after));
        EXPECT_EQ(device->feeder().sheetsEjected, c.ejected ? 1u : 0u);
        EXPECT_EQ(device->feeder().sheetLoaded, c.useOption != 0 && !c.ejected);
    }
}

TEST_F(ExtendedAcquireTest, TheLastSheetEndsWithPaperOut) {
    PageRequest request;
    request.useOption = 1;
    openFor("extended-b7", request);
    block()->feederFlagA = 0;
    device->feeder().sheetsLeft = 2;
    ScannedPage first = scan(request);
    EXPECT_EQ(first.calls.back().status, 1);
    ScannedPage last = scan(request);
    EXPECT_EQ(last.calls.back().status, 2);
    EXPECT_EQ(last.calls.back().pageDone, 1);
    EXPECT_EQ(last.rows.size(), request.height);
    EXPECT_EQ(PMGetScanError(), 14);
    EXPECT_EQ(device->feeder().sheetsEjected, 2u);
}

TEST_F(ExtendedAcquireTest, AScanFromAnEmptyFeederReportsPaperOut) {
    for (const char* profile : {"extended-b7", "extended-b8"}) {
        SCOPED_TRACE(profile);
        restart(profile);
        if (device->profile().option != sim::OptionKind::DocumentFeeder) {
            // Level 8 has no warm-up wait before the start: FS G itself finds no sheet.
            device->profile().option = sim::OptionKind::DocumentFeeder;
            device->profile().optionWidth = 10200;
            device->profile().optionHeight = 16800;
        }
        device->feeder().sheetsLeft = 0;
        ASSERT_EQ(open(), 1);
        PageRequest request;
        request.useOption = 1;
        prepare(request);
        const ScannedPage page = scan(request);
        ASSERT_EQ(page.calls.size(), 1u);
        EXPECT_EQ(page.calls[0].status, 2);
        EXPECT_EQ(PMGetScanError(), 14);
        EXPECT_EQ(device->extended().blocksSent, 0u);
    }
}

TEST_F(ExtendedAcquireTest, AnEmptyFeederDoesNotStopAFlatbedScan) {
    PageRequest request;
    openFor("extended-b7", request);
    device->feeder().sheetsLeft = 0;
    const ScannedPage page = scan(request);
    EXPECT_EQ(page.calls.back().status, 1);
    EXPECT_EQ(page.calls.back().pageDone, 1);
}

// ---- Abort ----------------------------------------------------------------------------------

TEST_F(ExtendedAcquireTest, AbortBeforeTheScanStartsSendsNothing) {
    PageRequest request;
    openFor("extended-b7", request);
    device->log().clear();
    EXPECT_EQ(PMAbortScan(), 1);  // no InitAcquire yet on this connection
    ASSERT_EQ(init(1).status, 1);
    EXPECT_EQ(PMAbortScan(), 1);
    EXPECT_TRUE(device->log().entries().empty());
    // The abandoned scan is not started afterwards.
    std::vector<uint8_t> buffer(4096);
    AcquireImageResult result{};
    PMAcquireImage(buffer.data(), static_cast<uint32_t>(buffer.size()), &result);
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(device->log().entries().empty());
    // A new InitAcquire starts a new scan.
    const ScannedPage page = scan(request);
    EXPECT_EQ(page.calls.back().pageDone, 1);
}

TEST_F(ExtendedAcquireTest, AbortAfterTheLastBlockSendsNothing) {
    PageRequest request;
    request.height = 40;  // one block
    openFor("extended-b7", request);
    ScannedPage page;
    page.init = init(1);
    ASSERT_EQ(acquire(10, page, 1).status, 1);
    device->log().clear();
    EXPECT_EQ(PMAbortScan(), 1);
    EXPECT_TRUE(device->log().entries().empty());
}

TEST_F(ExtendedAcquireTest, AbortMidPageCancelsTheNextFullBlock) {
    const struct {
        const char* name;
        uint8_t useOption;
        uint32_t height;
        Bytes writes;
        std::size_t blockRead;
    } cases[] = {
        {"flatbed", 0, 250, {kCanByte}, 100 * kHundredLineWidth + 1},
        {"feeder: the sheet is ejected", 1, 250, {kCanByte, kEjectByte}, 100 * kHundredLineWidth + 1},
        {"the next block is the last: read, not answered", 1, 150, {}, 50 * kHundredLineWidth + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageRequest request = hundredLineBlocks(c.height);
        request.useOption = c.useOption;
        openFor("extended-b7", request);
        block()->feederFlagA = 0;
        ScannedPage page;
        page.init = init(1);
        ASSERT_EQ(acquire(10, page, 1).status, 1);
        device->log().clear();
        EXPECT_EQ(PMAbortScan(), 1);
        EXPECT_TRUE(bytesEqual(c.writes, written()));
        const std::vector<std::size_t> reads = readSizes();
        ASSERT_FALSE(reads.empty());
        EXPECT_EQ(reads.front(), c.blockRead);
        EXPECT_EQ(device->extended().cancelled, c.writes.empty() ? 0u : 1u);
        // Nothing is left to drain.
        device->log().clear();
        EXPECT_EQ(PMAbortScan(), 1);
        EXPECT_TRUE(device->log().entries().empty());
    }
}

TEST_F(ExtendedAcquireTest, CloseEndsAScanInProgress) {
    PageRequest request = hundredLineBlocks(250);
    openFor("extended-b7", request);
    ScannedPage page;
    page.init = init(1);
    ASSERT_EQ(acquire(10, page, 1).status, 1);
    scanner()->Close();
    ASSERT_EQ(scanner()->Open(), 1);
    device->log().clear();
    EXPECT_EQ(acquire(10, page, 1).status, 2);
    EXPECT_EQ(PMAbortScan(), 1);
    EXPECT_TRUE(device->log().entries().empty());
}

TEST_F(ExtendedAcquireTest, AbortWhoseCancelIsNotAcknowledgedFails) {
    PageRequest request = hundredLineBlocks(250);
    openFor("extended-b7", request);
    ScannedPage page;
    page.init = init(1);
    ASSERT_EQ(acquire(10, page, 1).status, 1);
    device->faults().refusedCommands = {sim::controlKey(kCanByte)};
    EXPECT_EQ(PMAbortScan(), 0);
    EXPECT_EQ(PMGetScanError(), 9);
}

}  // namespace
}  // namespace vexscan::test
