// The classic device's warm-up wait and status operations against the simulated scanner: what
// crosses the wire, what the data source is told, and how often the library sleeps (recorded,
// never waited).
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "tests/classic/classic_scanner_fixture.h"
#include "vexscan/platform/callconv.h"
#include "vexscan/platform/platform.h"

namespace vexscan::test {
namespace {

const Bytes kStatus{0x1B, 0x66};

// The data source stand-in the library loads keeps every DSShowWarmUp call; the test reads them
// through the same module.
class DataSourceCalls {
public:
    DataSourceCalls()
        : module_((std::string(VEXSCAN_TEST_WINDOWS_DIR) + "/TWAIN_32/KIVA4/PELLAR4.DS").c_str()) {
        count_ = reinterpret_cast<CountFunction>(module_.symbol("DSWarmUpCallCount"));
        call_ = reinterpret_cast<CallFunction>(module_.symbol("DSWarmUpCall"));
        clear_ = reinterpret_cast<ClearFunction>(module_.symbol("DSWarmUpClear"));
    }
    bool available() const { return count_ != nullptr && call_ != nullptr && clear_ != nullptr; }
    void clear() const { clear_(); }
    std::vector<int32_t> calls() const {
        std::vector<int32_t> calls;
        for (int32_t i = 0; i < count_(); ++i) calls.push_back(call_(i));
        return calls;
    }

private:
    using CountFunction = int32_t(VEXSCAN_CALL*)();
    using CallFunction = int32_t(VEXSCAN_CALL*)(int32_t);
    using ClearFunction = void(VEXSCAN_CALL*)();
    platform::Module module_;
    CountFunction count_ = nullptr;
    CallFunction call_ = nullptr;
    ClearFunction clear_ = nullptr;
};

void putWord(Bytes& bytes, uint32_t value) {
    bytes.push_back(static_cast<uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

// An extended status body: main, feeder status and area, film status and area, further.
Bytes statusBody(uint8_t mainStatus, uint8_t feeder, uint8_t film, uint8_t further = 0) {
    Bytes body{mainStatus, feeder};
    putWord(body, 1700);
    putWord(body, 2200);
    body.push_back(film);
    putWord(body, 350);
    putWord(body, 450);
    body.push_back(further);
    return body;
}

// ESC f answered from a list of replies, the last one repeated.
void serveStatuses(sim::DeviceModel& device, std::vector<std::pair<uint8_t, Bytes>> replies) {
    auto calls = std::make_shared<std::size_t>(0);
    device.addCommand(sim::commandKey(0x1B, 'f'), [calls, replies](sim::DeviceModel& d) {
        const auto& [header, body] = replies[std::min(*calls, replies.size() - 1)];
        ++*calls;
        d.replyWithHeader(header, body);
    });
}

class ClassicStatusTest : public ClassicScannerTest {
protected:
    void SetUp() override {
        ClassicScannerTest::SetUp();
        ASSERT_TRUE(dataSource.available());
        dataSource.clear();
    }

    DataSourceCalls dataSource;
    RecordedSleeps sleeps;
};

struct WarmUpCase {
    const char* name;
    const char* profile;
    std::function<void(sim::DeviceModel&)> adjust;
    bool succeeds;
    int32_t errorCode;
    int statusPolls;
    std::size_t sleepCount;
    std::vector<int32_t> indication;
};

TEST_F(ClassicStatusTest, WarmUpWait) {
    const auto warming = [](int32_t polls) {
        return [polls](sim::DeviceModel& d) { d.classic().warmUpPollsLeft = polls; };
    };
    const WarmUpCase cases[] = {
        {"not warming", "classic-b8", nullptr, true, 0, 1, 0, {}},
        // First answer warming, then two more polls warming, the third poll ready.
        {"ready at the third poll", "classic-b8", warming(3), true, 0, 4, 2, {1, 0}},
        {"never ready", "classic-b8", warming(1000), false, 22, 61, 60, {1, 0}},
        // Faults during the wait leave the indication up.
        {"fault during the wait",
         "classic-b8",
         [](sim::DeviceModel& d) {
             serveStatuses(d, {{0, statusBody(0x02, 0, 0)},
                               {0, statusBody(0x02, 0, 0)},
                               {0x40, statusBody(0x02, 0, 0)}});
         },
         false,
         39,
         3,
         1,
         {1}},
        {"status lost during the wait",
         "classic-b8",
         [](sim::DeviceModel& d) {
             auto calls = std::make_shared<int>(0);
             d.addCommand(sim::commandKey(0x1B, 'f'), [calls](sim::DeviceModel& m) {
                 if ((*calls)++ == 0) {
                     m.replyWithHeader(0, statusBody(0x02, 0, 0));
                 } else {
                     m.refuse();
                 }
             });
         },
         false,
         22,
         2,
         0,
         {1}},
        {"unreadable",
         "classic-b8",
         [](sim::DeviceModel& d) { d.faults().refusedCommands.insert(sim::commandKey(0x1B, 'f')); },
         false,
         22,
         1,
         0,
         {}},
        // The status checks, in their order, before any indication.
        {"feeder 0x04 before 0x02",
         "classic-b8",
         [](sim::DeviceModel& d) {
             serveStatuses(d, {{0, statusBody(0x02, 0x46, 0)}});
         },
         false,
         14,
         1,
         0,
         {}},
        {"feeder 0x02",
         "classic-b8",
         [](sim::DeviceModel& d) {
             serveStatuses(d, {{0, statusBody(0, 0x4A, 0)}});
         },
         false,
         15,
         1,
         0,
         {}},
        {"feeder 0x08",
         "classic-b8",
         [](sim::DeviceModel& d) {
             serveStatuses(d, {{0, statusBody(0, 0x48, 0)}});
         },
         false,
         13,
         1,
         0,
         {}},
        {"feeder bits without 0x40",
         "classic-b8",
         [](sim::DeviceModel& d) {
             serveStatuses(d, {{0, statusBody(0, 0x0E, 0)}});
         },
         true,
         0,
         1,
         0,
         {}},
        {"further fault before feeder",
         "classic-b8",
         [](sim::DeviceModel& d) {
             serveStatuses(d, {{0, statusBody(0, 0x44, 0, 0x02)}});
         },
         false,
         40,
         1,
         0,
         {}},
        {"header fault first",
         "classic-b8",
         [](sim::DeviceModel& d) {
             serveStatuses(d, {{0x40, statusBody(0x80, 0x44, 0, 0x02)}});
         },
         false,
         39,
         1,
         0,
         {}},
        {"device fault",
         "classic-b8",
         [](sim::DeviceModel& d) {
             serveStatuses(d, {{0, statusBody(0x82, 0, 0)}});
         },
         false,
         22,
         1,
         0,
         {}},
        // Level 1 is never asked: the wait succeeds at once.
        {"level 1", "classic-b3", warming(5), true, 0, 0, 0, {}},
    };
    for (const WarmUpCase& c : cases) {
        SCOPED_TRACE(c.name);
        openDevice(c.profile);
        if (c.adjust) c.adjust(*device);
        dataSource.clear();
        const std::size_t sleepsBefore = sleeps.calls().size();

        EXPECT_EQ(scanner->waitForWarmUp(), c.succeeds);
        EXPECT_EQ(scanner->GetError(), c.errorCode);
        EXPECT_EQ(countWrites(*device, kStatus), c.statusPolls);
        const std::vector<uint32_t> slept(sleeps.calls().begin() + sleepsBefore,
                                          sleeps.calls().end());
        EXPECT_EQ(slept, std::vector<uint32_t>(c.sleepCount, 1000));
        EXPECT_EQ(dataSource.calls(), c.indication);
    }
}

struct OptionStatusCase {
    int32_t kind;
    uint8_t header, mainStatus, feeder, film, further;
    int32_t expected;
};

TEST_F(ClassicStatusTest, OptionStatusBits) {
    const OptionStatusCase cases[] = {
        // Document feeder.
        {0, 0, 0, 0x46, 0, 0, 14},
        {0, 0, 0, 0x42, 0, 0, 15},
        {0, 0, 0, 0x48, 0, 0, 13},
        {0, 0, 0x80, 0x40, 0, 0, 0},   // valid feeder bits decide alone
        {0, 0x80, 0, 0x06, 0, 0, 22},  // no valid bit: the fault bits decide
        {0, 0, 0x80, 0, 0, 0, 22},
        {0, 0, 0, 0, 0, 0, 0},
        // Film adapter.
        {1, 0, 0, 0, 0x42, 0, 15},
        {1, 0, 0x80, 0, 0x40, 0, 0},
        {1, 0, 0x80, 0, 0x02, 0, 22},
        // No option, and anything else.
        {2, 0, 0x80, 0x46, 0, 0, 22},
        {2, 0, 0, 0x46, 0x42, 0, 0},
        {3, 0x80, 0x80, 0x46, 0x42, 0, 0},
        {-1, 0, 0x80, 0, 0, 0, 0},
        // Checked for every kind before anything else.
        {3, 0x40, 0, 0, 0, 0x02, 39},
        {3, 0, 0, 0, 0, 0x02, 40},
        {0, 0, 0, 0x46, 0, 0x02, 40},
    };
    openDevice("classic-b8");
    for (const OptionStatusCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "kind " << c.kind << " header " << int(c.header)
                                          << " main " << int(c.mainStatus) << " feeder "
                                          << int(c.feeder) << " film " << int(c.film));
        serveStatuses(*device, {{c.header, statusBody(c.mainStatus, c.feeder, c.film, c.further)}});
        EXPECT_EQ(scanner->GetOptionStatus(c.kind), c.expected);
    }
    EXPECT_EQ(scanner->GetError(), 0);  // results are returned, never stored

    device->faults().refusedCommands.insert(sim::commandKey(0x1B, 'f'));
    EXPECT_EQ(scanner->GetOptionStatus(0), 7);
    EXPECT_EQ(scanner->GetError(), 0);
}

TEST_F(ClassicStatusTest, StatusUsesItsOwnBufferAndBoundsLongReplies) {
    openDevice("classic-b8");
    scanner->replyBuffer[20] = 0x5A;
    // 100 data bytes: more than the 76 the status buffer holds; the rest is read and dropped.
    Bytes longBody = statusBody(0x80, 0, 0);
    longBody.resize(100, 0xEE);
    serveStatuses(*device, {{0, longBody}});
    EXPECT_EQ(scanner->GetOptionStatus(2), 22);
    EXPECT_EQ(device->pendingReplyBytes(), 0u);
    EXPECT_FALSE(scanner->waitForWarmUp());
    EXPECT_EQ(scanner->GetError(), 22);
    EXPECT_EQ(device->pendingReplyBytes(), 0u);
    EXPECT_EQ(scanner->replyBuffer[20], 0x5A);
}

TEST_F(ClassicStatusTest, EnableOptionByteFollowsTheOptionKind) {
    const struct {
        const char* profile;
        int32_t enable;
        Bytes sent;
    } cases[] = {
        {"classic-b4", 5, escByte('e', 1)},  // film adapter: on is always 1
        {"classic-b4", 0, escByte('e', 0)},
        {"classic-b8", 5, escByte('e', 5)},  // feeder: the caller's byte
        {"classic-b8", 0x1FF, escByte('e', 0xFF)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.profile);
        openDevice(c.profile);
        EXPECT_EQ(scanner->EnableOption(c.enable), 1);
        EXPECT_TRUE(bytesEqual(c.sent, written()));
        EXPECT_EQ(device->classic().scan.option, c.sent[2]);
    }
    device->faults().refusedCommands.insert(sim::commandKey(0x1B, 'e'));
    EXPECT_EQ(scanner->EnableOption(1), 0);
}

TEST_F(ClassicStatusTest, ManualFocus) {
    openDevice("classic-b8");
    // A level other than 8 in the block: the position comes straight back, nothing is sent.
    block.levelIndex = 7;
    EXPECT_EQ(scanner->SetFocus(0, 300), 44);
    EXPECT_EQ(scanner->SetFocus(1, -3), -3);
    EXPECT_TRUE(written().empty());

    block.levelIndex = 8;
    EXPECT_EQ(scanner->SetFocus(0, 10), 10);
    EXPECT_TRUE(bytesEqual(escByte('p', 74), written()));
    device->log().clear();
    EXPECT_EQ(scanner->SetFocus(0, -20), -20);
    EXPECT_TRUE(bytesEqual(escByte('p', 44), written()));
    device->log().clear();
    // 191 + 64 is the device's failure value.
    EXPECT_EQ(scanner->SetFocus(0, 191), -100);
    EXPECT_TRUE(bytesEqual(escByte('p', 0xFF), written()));
    EXPECT_TRUE(sleeps.calls().empty());
}

struct AutoFocusCase {
    const char* name;
    std::function<void(sim::DeviceModel&)> adjust;
    int8_t expected;
    bool readToTheEnd = true;  // a reply without its mark has no trustworthy length
};

TEST_F(ClassicStatusTest, AutomaticFocus) {
    const auto focusReply = [](Bytes body, uint8_t mark = 0x02) {
        return [body, mark](sim::DeviceModel& d) {
            d.addCommand(sim::commandKey(0x1B, 'q'), [body, mark](sim::DeviceModel& m) {
                Bytes reply{mark, 0, static_cast<uint8_t>(body.size()), 0};
                reply.insert(reply.end(), body.begin(), body.end());
                m.reply(reply);
            });
        };
    };
    Bytes longReply(40, 0x33);
    longReply[0] = 0;
    longReply[1] = 0x50;
    const AutoFocusCase cases[] = {
        {"reached", [](sim::DeviceModel& d) { d.profile().focusResult = 0x50; }, 16},
        {"below the middle", [](sim::DeviceModel& d) { d.profile().focusResult = 0x10; }, -48},
        {"device reports failure", [](sim::DeviceModel& d) { d.profile().focusFails = true; },
         -100},
        {"reply not starting with STX", focusReply({0, 0x50}, 0x03), -100, false},
        {"reply too short for a position", focusReply({0}), -100},
        {"reply longer than 28 bytes", focusReply(longReply), 16},
        {"ESC q not written",
         [](sim::DeviceModel& d) {
             // Writes fail from the ESC q on: the set-up and ESC p go through first.
             d.addCommand(sim::commandKey(0x1B, 'p'), [](sim::DeviceModel& m) {
                 m.acknowledge();
                 m.expectParameters([](sim::DeviceModel& n, std::span<const uint8_t>) {
                     n.acknowledge();
                     n.close(0);
                 });
             });
         },
         -100},
    };
    for (const AutoFocusCase& c : cases) {
        SCOPED_TRACE(c.name);
        openDevice("classic-b8");
        block.resolutionX = 300;
        block.resolutionY = 300;
        block.zoomX = 100;
        block.zoomY = 100;
        block.threshold = -1;
        if (c.adjust) c.adjust(*device);
        const std::size_t sleepsBefore = sleeps.calls().size();

        EXPECT_EQ(scanner->SetFocus(1, 5), c.expected);
        // The set-up runs first, then ESC p 0xFF, the wait, and ESC q.
        EXPECT_EQ(device->classic().scan.setUpsStarted, 1);
        const Bytes sent = written();
        const Bytes tail = join({escByte('p', 0xFF), esc('q')});
        ASSERT_GE(sent.size(), tail.size());
        EXPECT_TRUE(bytesEqual(
            tail, Bytes(sent.end() - static_cast<std::ptrdiff_t>(tail.size()), sent.end())));
        EXPECT_EQ(
            std::vector<uint32_t>(sleeps.calls().begin() + sleepsBefore, sleeps.calls().end()),
            std::vector<uint32_t>{20000});
        if (c.readToTheEnd) {
            EXPECT_EQ(device->pendingReplyBytes(), 0u);
        }
    }
}

TEST_F(ClassicStatusTest, AutomaticFocusClearsTheErrorCodeBeforeTheSetUp) {
    openDevice("classic-b8");
    block.resolutionX = 300;
    block.resolutionY = 300;
    block.zoomX = 100;
    block.zoomY = 100;
    block.halftoneIndex = 12;  // the set-up refuses it with 16 and sends nothing
    scanner->setUpScan();
    ASSERT_EQ(scanner->GetError(), 16);
    block.halftoneIndex = 0;
    device->profile().focusResult = 0x40;
    EXPECT_EQ(scanner->SetFocus(1, 0), 0);
    EXPECT_EQ(scanner->GetError(), 0);
}

struct PaperSizeCase {
    const char* name;
    int32_t selector;
    uint8_t feeder, film;
    int32_t width, height;
    int32_t outWidth, outHeight;
};

TEST_F(ClassicStatusTest, PaperSizeBySelector) {
    // Feeder 1700 x 2200 and film 350 x 450 as reported; the flatbed 10 200 x 14 040 pixels at
    // 1200 dpi is converted to 300 x 600 dpi.
    const PaperSizeCase cases[] = {
        {"feeder", 0, 0xC0, 0xC0, 1700, 2200, 1700, 2200},
        {"feeder not ready, film", 0, 0x80, 0xC0, 350, 450, 0, 0},
        {"neither, selector 0", 0, 0x80, 0x80, 2550, 7020, 0, 0},
        {"film", 1, 0xC0, 0xC0, 350, 450, 0, 0},
        {"film not ready", 1, 0xC0, 0x80, 2550, 7020, 0, 0},
        {"flatbed", 2, 0xC0, 0xC0, 2550, 7020, 0, 0},
        {"negative selector", -1, 0xC0, 0xC0, 2550, 7020, 0, 0},
    };
    openDevice("classic-b8");
    block.resolutionX = 300;
    block.resolutionY = 600;
    for (const PaperSizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        serveStatuses(*device, {{0, statusBody(0, c.feeder, c.film)}});
        block.paperWidthOut = -5;
        block.paperHeightOut = -5;
        int32_t width = -1;
        int32_t height = -1;
        EXPECT_EQ(scanner->GetScanPaperSize(c.selector, &width, &height), 0);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        EXPECT_EQ(+block.paperWidthOut, c.outWidth);
        EXPECT_EQ(+block.paperHeightOut, c.outHeight);
    }

    device->faults().refusedCommands.insert(sim::commandKey(0x1B, 'f'));
    block.paperWidthOut = -5;
    int32_t width = -1;
    int32_t height = -1;
    EXPECT_EQ(scanner->GetScanPaperSize(0, &width, &height), 7);
    EXPECT_EQ(width, -1);
    EXPECT_EQ(+block.paperWidthOut, 0);
}

TEST_F(ClassicStatusTest, CloseSwitchesAnAttachedOptionOffAndClosesOnce) {
    const struct {
        const char* profile;
        bool refuseOption;
        Bytes sent;
    } cases[] = {
        {"classic-b8", false, join({esc('e'), Bytes{0x00}})},
        {"classic-b4", false, join({esc('e'), Bytes{0x00}})},
        // The 0 goes out whatever the device answered to ESC e.
        {"classic-b8", true, join({esc('e'), Bytes{0x00}})},
        {"classic-b3", false, Bytes{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.profile);
        openDevice(c.profile);
        if (c.refuseOption) device->faults().refusedCommands.insert(sim::commandKey(0x1B, 'e'));
        scanner->Close();
        EXPECT_TRUE(bytesEqual(c.sent, written()));
        EXPECT_FALSE(device->portOpen());
        EXPECT_EQ(device->pendingReplyBytes(), 0u);

        device->log().clear();
        scanner->Close();
        EXPECT_TRUE(device->log().entries().empty());

        // Closed objects open again from scratch.
        EXPECT_EQ(scanner->Open(), 1);
        EXPECT_TRUE(device->portOpen());
    }
}

}  // namespace
}  // namespace vexscan::test
