// The classic transfer around the pixels: output line sizes and their limits, lines per call and
// row order, progress, the block reader's answers and failures, abort, and the page end with its
// eject and option status.
#include <gtest/gtest.h>

#include "tests/classic/chart_rows.h"
#include "tests/classic/classic_acquire_fixture.h"

namespace vexscan::test {
namespace {

const Bytes kAckByte{0x06};
const Bytes kCanByte{0x18};
const Bytes kEject{0x0C};
const Bytes kStart{0x1B, 'G'};
const Bytes kStatus{0x1B, 'f'};

// A grey page of four blocks on a block-mode device: 2000-pixel lines make blocks of 32 lines.
PageRequest fourBlockPage() {
    PageRequest page;
    page.imageType = 2;
    page.left = 0;
    page.top = 0;
    page.width = 2000;
    page.height = 100;
    page.bufferLines = 10;
    return page;
}

class ClassicTransferTest : public ClassicAcquireTest {};

TEST_F(ClassicTransferTest, OutputLineSizeAndItsLimits) {
    struct Case {
        const char* name;
        const char* profile;
        int32_t imageType;
        uint32_t width;
        int32_t layoutCode;
        int32_t status;
        int32_t bytesPerLine;
        int32_t errorCode;
    };
    const Case cases[] = {
        {"4-bit grey unpadded", "classic-b8", 1, 101, 1, 1, 51, 0},
        {"4-bit grey padded", "classic-b8", 1, 101, 0, 1, 52, 0},
        {"8 colours unpadded", "classic-b8", 3, 7, 1, 1, 4, 0},
        {"24-bit colour", "classic-b8", 5, 2000, 0, 1, 6000, 0},
        {"line art of one byte", "classic-a5", 0, 8, 0, 1, 4, 0},
        {"12-bit colour at its limit", "classic-b8", 6, 16384, 1, 1, 32768, 0},
        {"12-bit colour beyond it", "classic-b8", 6, 16386, 1, 2, 32772, 16},
        {"grey with its reserve at the limit", "classic-b8", 2, 64240, 1, 1, 64240, 0},
        {"grey with its reserve beyond it", "classic-b8", 2, 64241, 1, 2, 64244, 16},
        {"colour reserve is larger", "classic-b8", 4, 64212, 1, 2, 64212, 16},
        {"no pixels", "classic-b8", 2, 0, 1, 2, 0, 16},
    };
    for (const Case& c : cases) {
        openFor(c.profile);
        PageRequest page;
        page.imageType = c.imageType;
        page.width = c.width;
        page.layoutCode = c.layoutCode;
        const InitAcquireResult result = init(page);
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(result.bytesPerLine, c.bytesPerLine) << c.name;
        EXPECT_EQ(result.pixelsPerLine, static_cast<int32_t>(c.width)) << c.name;
        EXPECT_EQ(result.lineCount, 23) << c.name;
        EXPECT_EQ(scanner->errorCode(), c.errorCode) << c.name;
        EXPECT_TRUE(device->log().entries().empty()) << c.name << ": nothing is sent yet";
    }
}

TEST_F(ClassicTransferTest, RefusedLineSizeDeliversNothing) {
    openFor("classic-b8");
    PageRequest page;
    page.width = 0;
    ASSERT_EQ(init(page).status, 2);
    std::vector<Bytes> rows;
    const AcquireImageResult result = acquire(4, 10, 1, rows);
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(countWrites(*device, kStart), 0);
}

TEST_F(ClassicTransferTest, UnknownImageTypeKeepsThePreviousLayout) {
    openFor("classic-b8");
    PageRequest page;
    page.imageType = 5;
    ASSERT_EQ(init(page).bytesPerLine, 112);
    page.imageType = 9;
    EXPECT_EQ(init(page).bytesPerLine, 112);
    EXPECT_EQ(scanner->imageKind(), 5);
}

TEST_F(ClassicTransferTest, LinesPerBlockFollowTheLineAndStopAt255) {
    struct Case {
        const char* profile;
        PageRequest page;
        std::optional<uint8_t> linesPerBlock;
    };
    PageRequest colour;
    colour.imageType = 5;
    colour.left = 0;
    colour.width = 2000;
    PageRequest lineArt;
    lineArt.imageType = 0;
    lineArt.width = 8;
    const Case cases[] = {
        {"classic-b8", colour, 10},
        {"classic-a5", lineArt, 255},
        {"classic-b3", colour, std::nullopt},  // no block mode: ESC d is never sent
    };
    for (const Case& c : cases) {
        openFor(c.profile);
        scan(c.page);
        EXPECT_EQ(device->classic().linesPerBlock, c.linesPerBlock) << c.profile;
    }
}

TEST_F(ClassicTransferTest, LinesPerCallAndRowOrder) {
    openFor("classic-b8");
    PageRequest page;
    page.layoutCode = 0;
    const InitAcquireResult init = this->init(page);
    const auto lineBytes = static_cast<uint32_t>(init.bytesPerLine);

    // Two and a half lines of buffer take two lines.
    std::vector<Bytes> rows;
    AcquireImageResult result = acquire(lineBytes, 2, 0, rows, lineBytes / 2);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.linesDelivered, 2);
    EXPECT_EQ(result.pageDone, 0);

    // Three lines land bottom-up: the first fetched line (page line 2) in row 2.
    std::vector<uint8_t> buffer(std::size_t{lineBytes} * 3);
    scanner->AcquireImage(buffer.data(), static_cast<uint32_t>(buffer.size()), &result);
    ASSERT_EQ(result.linesDelivered, 3);
    for (uint32_t row = 0; row < 3; ++row) {
        const Bytes expected =
            expectedChartRow({2, false, true, page.left, page.top + 4 - row, page.width, 0});
        EXPECT_TRUE(bytesEqual(expected, Bytes(buffer.begin() + row * lineBytes,
                                               buffer.begin() + row * lineBytes + page.width)))
            << "row " << row;
    }
}

TEST_F(ClassicTransferTest, ProgressAtTheFirstLineOfEveryCallEveryTenthLineAndPageEnd) {
    struct Case {
        uint32_t bufferLines;
        std::vector<int32_t> progress;
    };
    const Case cases[] = {
        {7, {0, 30, 60, 91, 100}},
        {12, {0, 43, 52, 95, 100}},
        {23, {0, 43, 86, 100}},
    };
    for (const Case& c : cases) {
        openFor("classic-b8");
        PageRequest page;
        page.bufferLines = c.bufferLines;
        const ScannedPage scanned = scan(page, &recordProgress);
        ASSERT_EQ(scanned.calls.back().pageDone, 1);
        EXPECT_EQ(reportedProgress, c.progress) << c.bufferLines << " lines a call";
    }
}

TEST_F(ClassicTransferTest, WarmUpAtTheStartRepeatsEscG) {
    openFor("classic-b8");
    device->classic().behaviour.startWarmUps = 1;
    const ScannedPage scanned = scan(PageRequest{});
    EXPECT_EQ(scanned.calls.back().pageDone, 1);
    EXPECT_EQ(countWrites(*device, kStart), 2);
    ASSERT_EQ(scanned.rows.size(), 23u);
    EXPECT_TRUE(bytesEqual(expectedChartRow({2, false, false, 13, 7, 37, 0}),
                           Bytes(scanned.rows[0].begin(), scanned.rows[0].begin() + 37)));
}

TEST_F(ClassicTransferTest, BufferSmallerThanALineCancelsTheNextBlock) {
    openFor("classic-b8");
    const PageRequest page = fourBlockPage();
    const InitAcquireResult init = this->init(page);
    std::vector<Bytes> rows;
    const AcquireImageResult result =
        acquire(static_cast<uint32_t>(init.bytesPerLine), 0, 1, rows, 100);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(countWrites(*device, kCanByte), 1);
    EXPECT_EQ(countWrites(*device, kAckByte), 0);
    EXPECT_EQ(device->classic().transfer.cancelled, 1u);
    EXPECT_EQ(countWrites(*device, kEject), 0) << "the flatbed has no sheet to eject";
}

TEST_F(ClassicTransferTest, AbortMidPageCancelsEjectsAndBlanksTheRest) {
    openFor("classic-b8");
    block.useOption = 1;  // the document feeder
    PageRequest page = fourBlockPage();
    const InitAcquireResult init = this->init(page);
    const auto lineBytes = static_cast<uint32_t>(init.bytesPerLine);
    std::vector<Bytes> rows;
    ASSERT_EQ(acquire(lineBytes, 10, 1, rows).status, 1);

    EXPECT_NE(scanner->Abort(), 0);
    EXPECT_EQ(countWrites(*device, kCanByte), 1);
    EXPECT_EQ(countWrites(*device, kEject), 1) << "the sheet leaves with the CAN";
    const uint32_t blocksAtAbort = device->classic().transfer.blocksSent;

    AcquireImageResult result{};
    while (result.pageDone == 0) {
        result = acquire(lineBytes, 40, 1, rows);
        ASSERT_EQ(result.status, 1);
    }
    ASSERT_EQ(rows.size(), 100u);
    for (uint32_t line = 10; line < 100; ++line) {
        EXPECT_EQ(rows[line], Bytes(lineBytes, 0xFF)) << "line " << line;
    }
    EXPECT_EQ(device->classic().transfer.blocksSent, blocksAtAbort) << "nothing more is read";
    EXPECT_EQ(countWrites(*device, kEject), 1) << "no page-end eject after an abort";
    EXPECT_EQ(countWrites(*device, kCanByte), 1);
}

TEST_F(ClassicTransferTest, AbortAfterTheLastBlockSendsNothing) {
    openFor("classic-b8");
    PageRequest page;
    page.bufferLines = 10;
    const InitAcquireResult init = this->init(page);
    std::vector<Bytes> rows;
    ASSERT_EQ(acquire(static_cast<uint32_t>(init.bytesPerLine), 10, 1, rows).status, 1);
    const Bytes before = written();
    EXPECT_NE(scanner->Abort(), 0);
    EXPECT_EQ(written(), before);
}

TEST_F(ClassicTransferTest, AbortBeforeAnyScanSendsNothing) {
    openFor("classic-b8");
    PageRequest page;
    init(page);
    EXPECT_NE(scanner->Abort(), 0);
    EXPECT_TRUE(written().empty());
}

TEST_F(ClassicTransferTest, PageEndEjectAndOptionStatus) {
    struct Case {
        const char* name;
        const char* profile;
        uint8_t useOption;
        uint8_t feederFlagA;
        int32_t holdPageAtEnd;
        uint32_t sheets;
        int ejects;
        int statusRequests;  // after the page
        int32_t status;
        int32_t errorCode;
    };
    const Case cases[] = {
        {"feeder page", "classic-b8", 1, 0, 0, 3, 1, 1, 1, 0},
        {"last sheet", "classic-b8", 1, 0, 0, 1, 1, 1, 2, 14},
        {"flag A: eject only", "classic-b8", 1, 1, 0, 1, 1, 0, 1, 0},
        {"flag A and hold: keep the sheet", "classic-b8", 1, 1, 1, 3, 0, 0, 1, 0},
        {"flatbed page", "classic-b8", 0, 0, 0, 3, 0, 0, 1, 0},
        {"A5 ejects without the option", "classic-a5", 0, 0, 0, 3, 1, 1, 1, 0},
    };
    for (const Case& c : cases) {
        openFor(c.profile);
        device->feeder().sheetsLeft = c.sheets;
        block.useOption = c.useOption;
        block.feederFlagA = c.feederFlagA;
        block.holdPageAtEnd = c.holdPageAtEnd;
        PageRequest page;
        page.bufferLines = 100;
        const InitAcquireResult init = this->init(page);
        std::vector<Bytes> rows;
        const AcquireImageResult result =
            acquire(static_cast<uint32_t>(init.bytesPerLine), 100, 1, rows);
        EXPECT_EQ(result.pageDone, 1) << c.name;
        EXPECT_EQ(rows.size(), c.status == 1 ? 23u : 0u) << c.name;
        EXPECT_EQ(result.linesDelivered, 23) << c.name;
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(scanner->errorCode(), c.errorCode) << c.name;
        EXPECT_EQ(countWrites(*device, kEject), c.ejects) << c.name;

        // The status requests after the last block: those of the page end.
        int after = 0;
        bool pastData = false;
        for (const sim::LogEntry& entry : device->log().entries()) {
            if (entry.call != sim::DriverCall::Write) continue;
            if (entry.bytes == kEject) pastData = true;
            if (pastData && entry.bytes == kStatus) ++after;
        }
        EXPECT_EQ(after, c.statusRequests) << c.name;
    }
}

TEST_F(ClassicTransferTest, PageEndStepsRepeatOnAFurtherCall) {
    openFor("classic-a5");
    PageRequest page;
    page.bufferLines = 100;
    scan(page, &recordProgress);
    std::vector<Bytes> rows;
    const AcquireImageResult again = acquire(40, 100, 1, rows);
    EXPECT_EQ(again.linesDelivered, 0);
    EXPECT_EQ(again.pageDone, 1);
    EXPECT_EQ(countWrites(*device, kEject), 2);
    EXPECT_EQ(reportedProgress, (std::vector<int32_t>{0, 43, 86, 100, 100}));
}

TEST_F(ClassicTransferTest, ZeroLineBlockReportsWhyTheDeviceStopped) {
    struct Case {
        const char* name;
        uint32_t block;
        uint8_t headerStatus;
        uint8_t feederStatus;
        uint8_t furtherStatus;
        uint8_t useOption;
        int32_t errorCode;
    };
    const Case cases[] = {
        {"no reason", 1, 0, 0, 0, 0, 4},
        {"first block, no reason", 0, 0, 0, 0, 0, 4},
        {"header status 0x40", 2, 0x40, 0, 0, 0, 39},
        {"further status 0x02", 1, 0, 0, 0x02, 0, 40},
        {"feeder paper out", 1, 0, 0x04, 0, 1, 14},
        {"feeder 0x02", 1, 0, 0x02, 0, 1, 15},
        {"feeder ready bit wins", 1, 0, 0x0C, 0, 1, 4},
    };
    for (const Case& c : cases) {
        openFor("classic-b8");
        sim::ClassicScanBehaviour& behaviour = device->classic().behaviour;
        behaviour.zeroLineBlock = c.block;
        behaviour.stoppedHeaderStatus = c.headerStatus;
        behaviour.stoppedFeederStatus = c.feederStatus;
        behaviour.stoppedFurtherStatus = c.furtherStatus;
        block.useOption = c.useOption;
        const ScannedPage scanned = scan(fourBlockPage());
        ASSERT_FALSE(scanned.calls.empty()) << c.name;
        EXPECT_EQ(scanned.calls.back().status, 2) << c.name;
        EXPECT_EQ(scanner->errorCode(), c.errorCode) << c.name;
    }
}

TEST_F(ClassicTransferTest, UnreadableBlocksFailWithError9) {
    struct Case {
        const char* name;
        sim::ReplyEdit edit;
    };
    const Case cases[] = {
        {"start header without STX", {sim::commandKey(0x1B, 'G'), std::nullopt, 0, 0x15}},
        {"start block cut short", {sim::commandKey(0x1B, 'G'), 100, std::nullopt, 0}},
        {"next header without STX", {sim::controlKey(0x06), std::nullopt, 0, 0x00}},
        {"next block cut short", {sim::controlKey(0x06), 100, std::nullopt, 0}},
    };
    for (const Case& c : cases) {
        for (const char* profile : {"classic-b8", "classic-b3"}) {
            openFor(profile);
            device->faults().replyEdits.push_back(c.edit);
            const ScannedPage scanned = scan(fourBlockPage());
            ASSERT_FALSE(scanned.calls.empty()) << c.name << " " << profile;
            EXPECT_EQ(scanned.calls.back().status, 2) << c.name << " " << profile;
            EXPECT_EQ(scanner->errorCode(), 9) << c.name << " " << profile;
        }
    }
}

TEST_F(ClassicTransferTest, BlockLargerThanTheDataBufferIsRefusedUnread) {
    for (const char* profile : {"classic-b8", "classic-b3"}) {
        openFor(profile);
        const bool blockMode = std::string(profile) == "classic-b8";
        // 65 535 bytes a line, two lines: far more than the buffer holds.
        const Bytes header = blockMode ? Bytes{0x02, 0x00, 0xFF, 0xFF, 0x02, 0x00}
                                       : Bytes{0x02, 0x00, 0xFF, 0xFF};
        device->addCommand(sim::commandKey(0x1B, 'G'), [header](sim::DeviceModel& d) {
            Bytes reply = header;
            reply.resize(header.size() + 2 * 65535, 0x5A);
            d.reply(reply);
        });
        const ScannedPage scanned = scan(fourBlockPage());
        EXPECT_EQ(scanned.calls.back().status, 2) << profile;
        EXPECT_EQ(scanner->errorCode(), 9) << profile;
        EXPECT_GT(device->pendingReplyBytes(), 65000u) << profile << ": the block stays unread";
    }
}

TEST_F(ClassicTransferTest, PageEndedEarlyByTheDeviceIsAFailureNotStaleLines) {
    openFor("classic-b8");
    // The device was told 23 lines but the caller's block now asks for more.
    PageRequest page;
    page.bufferLines = 100;
    const InitAcquireResult init = this->init(page);
    device->addCommand(sim::commandKey(0x1B, 'A'), [](sim::DeviceModel& d) {
        d.acknowledge();
        d.expectParameters([](sim::DeviceModel& m, std::span<const uint8_t> p) {
            m.classic().scan.areaLeft = static_cast<uint16_t>(p[0] | p[1] << 8);
            m.classic().scan.areaTop = static_cast<uint16_t>(p[2] | p[3] << 8);
            m.classic().scan.areaWidth = static_cast<uint16_t>(p[4] | p[5] << 8);
            m.classic().scan.areaHeight = 10;  // the device scans fewer lines than asked
            m.acknowledge();
        });
    });
    std::vector<Bytes> rows;
    const AcquireImageResult result =
        acquire(static_cast<uint32_t>(init.bytesPerLine), 100, 1, rows);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(scanner->errorCode(), 9);
}

}  // namespace
}  // namespace vexscan::test
