// Status evaluation, the lamp warm-up wait, option status, focus and paper size of an extended
// device.
#include <memory>
#include <vector>

#include "tests/extended/extended_fixture.h"
#include "vexscan/platform/platform.h"

namespace vexscan::test {
namespace {

TEST(ExtendedStatusEvaluation, RulesInTheirFixedOrder) {
    const struct {
        const char* name;
        Bytes status;
        int32_t withFeeder, withoutFeeder;
    } cases[] = {
        {"nothing", statusReply(0, 0, 0, 0), 0, 0},
        {"0x40 before the fault", statusReply(0xC0, 0, 0, 0), 39, 39},
        {"further status 0x02 before the feeder", statusReply(0, 0x46, 0, 0x02), 40, 40},
        {"feeder 0x02 first", statusReply(0x80, 0x46, 0, 0), 15, 22},
        {"feeder only 0x46", statusReply(0, 0x46, 0, 0), 15, 0},
        {"feeder 0x04", statusReply(0, 0x4C, 0, 0), 14, 0},
        {"feeder 0x08", statusReply(0, 0x48, 0, 0), 13, 0},
        {"feeder bits without 0x40 are not valid", statusReply(0, 0x0E, 0, 0), 0, 0},
        {"device fault", statusReply(0x80, 0, 0, 0), 22, 22},
        {"warming up is no code", statusReply(0x02, 0, 0, 0), 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(evaluateExtendedStatus(c.status.data(), true), c.withFeeder);
        EXPECT_EQ(evaluateExtendedStatus(c.status.data(), false), c.withoutFeeder);
    }
}

class ExtendedStatusTest : public ExtendedTest {
public:
    // The status replies in order; the last one repeats.
    void statusSequence(std::vector<Bytes> replies) {
        auto next = std::make_shared<std::size_t>(0);
        device->addCommand(sim::commandKey(0x1C, 'F'), [replies, next](sim::DeviceModel& d) {
            d.reply(replies[std::min(*next, replies.size() - 1)]);
            ++*next;
        });
    }
    int32_t statusRequests() const {
        const Bytes all = written();
        int32_t count = 0;
        for (std::size_t i = 0; i + 1 < all.size(); ++i) {
            if (all[i] == 0x1C && all[i + 1] == 'F') ++count;
        }
        return count;
    }
};

TEST_F(ExtendedStatusTest, OptionStatusAppliesFeederRulesOnlyForTheFeeder) {
    ASSERT_EQ(open(), 1);
    replaceStatus(statusReply(0x02, 0x46, 0, 0));
    device->log().clear();
    EXPECT_EQ(PMGetOptionStatus(0), 15);
    EXPECT_EQ(PMGetOptionStatus(1), 0);  // and the warm-up bit is ignored
    EXPECT_TRUE(bytesEqual(join({kStatus, kStatus}), written()));

    replaceStatus(Bytes(15, 0));
    EXPECT_EQ(PMGetOptionStatus(0), 7);
    EXPECT_EQ(PMGetScanError(), 0);  // not stored
}

TEST_F(ExtendedStatusTest, FocusReturnsTheLowByteWithoutTraffic) {
    ASSERT_EQ(open(), 1);
    device->log().clear();
    EXPECT_EQ(PMSetFocus(7, 0x1234), 0x34);
    EXPECT_EQ(PMSetFocus(0, 0xFF), static_cast<int8_t>(-1));
    EXPECT_TRUE(written().empty());
}

// The data source's record of DSShowWarmUp calls.
struct DataSourceRecorder {
    platform::Module module{(std::string(VEXSCAN_TEST_WINDOWS_DIR) + platform::kPathSeparator +
                             "TWAIN_32" + platform::kPathSeparator + "KIVA4" +
                             platform::kPathSeparator + "PELLAR4.DS")
                                .c_str()};
    using Count = int32_t(VEXSCAN_CALL*)();
    using Call = int32_t(VEXSCAN_CALL*)(int32_t);
    using Clear = void(VEXSCAN_CALL*)();

    std::vector<int32_t> calls() const {
        std::vector<int32_t> all;
        const int32_t count = reinterpret_cast<Count>(module.symbol("DSWarmUpCallCount"))();
        for (int32_t i = 0; i < count; ++i) {
            all.push_back(reinterpret_cast<Call>(module.symbol("DSWarmUpCall"))(i));
        }
        return all;
    }
    void clear() const { reinterpret_cast<Clear>(module.symbol("DSWarmUpClear"))(); }
};

class ExtendedWarmUpTest : public ExtendedStatusTest {
protected:
    // The data source stand-in of the build is found by the device object.
    WindowsDirectoryOverride buildWindows{VEXSCAN_TEST_WINDOWS_DIR};
    DataSourceRecorder recorder;
    RecordedSleeps sleeps;
};

const Bytes kReady = statusReply(0, 0x80, 0, 0);
const Bytes kWarming = statusReply(0x02, 0x80, 0, 0);

TEST_F(ExtendedWarmUpTest, Sequences) {
    const struct {
        const char* name;
        std::vector<Bytes> replies;
        bool waited;
        int32_t error;  // -1: the code from before stays
        std::vector<int32_t> shown;
        std::size_t sleepCount;
        int32_t requests;
    } cases[] = {
        {"ready at once", {kReady}, true, -1, {}, 0, 1},
        {"ready at the third poll", {kWarming, kWarming, kWarming, kReady}, true, -1, {1, 0}, 2, 4},
        {"still warming after 60 polls", {kWarming}, false, -1, {1, 0}, 60, 61},
        {"fault at the first request", {statusReply(0x82, 0x80, 0, 0)}, false, 22, {}, 0, 1},
        {"feeder condition at the first request", {statusReply(0x02, 0xC4, 0, 0)}, false, 14, {}, 0, 1},
        {"fault during the wait keeps the indication",
         {kWarming, kWarming, statusReply(0x42, 0x80, 0, 0)}, false, 39, {1}, 1, 3},
        {"status lost during the wait", {kWarming, kWarming, Bytes(3, 0)}, false, 7, {1}, 1, 3},
        {"status lost at once", {Bytes(3, 0)}, false, 7, {}, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart("extended-b7");
        ASSERT_EQ(open(), 1);
        // An earlier failure's code, to show which exits keep it.
        device->faults().refusedCommands = {};
        replaceStatus(statusReply(0x40, 0, 0, 0));
        ASSERT_FALSE(scanner()->waitForWarmUp());
        ASSERT_EQ(PMGetScanError(), 39);

        statusSequence(c.replies);
        recorder.clear();
        const std::size_t sleepsBefore = sleeps.calls().size();
        device->log().clear();
        EXPECT_EQ(scanner()->waitForWarmUp(), c.waited);
        EXPECT_EQ(PMGetScanError(), c.error >= 0 ? c.error : 39);
        EXPECT_EQ(recorder.calls(), c.shown);
        ASSERT_EQ(sleeps.calls().size() - sleepsBefore, c.sleepCount);
        for (std::size_t i = sleepsBefore; i < sleeps.calls().size(); ++i) {
            EXPECT_EQ(sleeps.calls()[i], 1000u);
        }
        EXPECT_EQ(statusRequests(), c.requests);
    }
}

TEST_F(ExtendedWarmUpTest, SimulatedLampCountsDownItsPolls) {
    ASSERT_TRUE(recorder.module.loaded());
    restart("extended-b7");  // its lamp reports warming up to the first two status requests
    EXPECT_EQ(device->extended().warmUpPollsLeft, 2);
    ASSERT_EQ(open(), 1);
    device->extended().warmUpPollsLeft = 2;
    recorder.clear();
    EXPECT_TRUE(scanner()->waitForWarmUp());
    EXPECT_EQ(recorder.calls(), (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(sleeps.calls().size(), 1u);
}

TEST_F(ExtendedStatusTest, WarmUpWithoutADataSourceRunsTheSamePolls) {
    RecordedSleeps sleeps;
    ASSERT_EQ(open(), 1);
    device->extended().warmUpPollsLeft = 3;
    device->log().clear();
    EXPECT_TRUE(scanner()->waitForWarmUp());
    EXPECT_EQ(sleeps.calls(), (std::vector<uint32_t>{1000, 1000}));
    EXPECT_EQ(statusRequests(), 4);
}

TEST_F(ExtendedStatusTest, PaperSize) {
    const struct {
        const char* name;
        const char* profile;
        int32_t selector;
        uint8_t useOption;
        int32_t resX, zoomX, resY, zoomY;
        int32_t width, height;
    } cases[] = {
        // extended-b7: base 1200, bed 10 200 x 14 040, feeder 10 200 x 16 800, second figure 2400.
        {"flatbed at the scan resolution", "extended-b7", 1, 1, 300, 150, 300, 100, 3825, 3510},
        {"flatbed when not on the option", "extended-b7", 0, 0, 300, 100, 600, 50, 2550, 3510},
        {"feeder fields at half the second figure", "extended-b7", 0, 1, 300, 100, 300, 100, 10200, 16800},
        {"feeder fields even for a film adapter", "extended-b6", 0, 1, 300, 100, 300, 100, 0, 0},
        // 10 200 x 2400 x 200 wraps in 32 bits.
        {"products in 32 bits", "extended-b7", 1, 0, 2400, 200, 100, 100, 5008, 1170},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart(c.profile);
        ASSERT_EQ(open(), 1);
        block()->useOption = c.useOption;
        block()->resolutionX = c.resX;
        block()->zoomX = c.zoomX;
        block()->resolutionY = c.resY;
        block()->zoomY = c.zoomY;
        device->log().clear();
        int32_t width = -1;
        int32_t height = -1;
        EXPECT_EQ(PMGetScanPaperSize(c.selector, &width, &height), 0);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        EXPECT_EQ(+block()->paperWidthOut, c.width);
        EXPECT_EQ(+block()->paperHeightOut, c.height);
        EXPECT_TRUE(bytesEqual(kIdentity, written()));
    }
}

TEST_F(ExtendedStatusTest, PaperSizeUsesTheOpenBedAreaAndTheFreshReply) {
    ASSERT_EQ(open(), 1);  // bed 10 200 x 14 040 at 1200
    IdentityFields fresh;   // base 600, another bed, another name
    fresh.name = "Fresh Name      ";
    replaceIdentity(identityReply(fresh));
    block()->useOption = 0;
    block()->resolutionX = 300;
    block()->zoomX = 100;
    block()->resolutionY = 300;
    block()->zoomY = 100;
    int32_t width = 0;
    int32_t height = 0;
    ASSERT_EQ(PMGetScanPaperSize(1, &width, &height), 0);
    EXPECT_EQ(width, 5100);   // 10 200 x 300 / 600
    EXPECT_EQ(height, 7020);
    char name[17] = {};
    PMGetScannerName(name);
    EXPECT_STREQ(name, "Fresh Name      ");
}

TEST_F(ExtendedStatusTest, PaperSizeFailures) {
    IdentityFields noBase;
    noBase.base = 0;
    const struct {
        const char* name;
        Bytes reply;  // empty: FS I refused
    } cases[] = {{"identity refused", {}}, {"reply short", Bytes(40, 0)},
                 {"base resolution 0", identityReply(noBase)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart("extended-b7");
        ASSERT_EQ(open(), 1);
        if (c.reply.empty()) {
            device->faults().refusedCommands = {sim::commandKey(0x1C, 'I')};
        } else {
            replaceIdentity(c.reply);
        }
        block()->paperWidthOut = 77;
        block()->paperHeightOut = 88;
        int32_t width = 5;
        int32_t height = 6;
        EXPECT_EQ(PMGetScanPaperSize(1, &width, &height), 7);
        EXPECT_EQ(width, 5);
        EXPECT_EQ(height, 6);
        EXPECT_EQ(+block()->paperWidthOut, 0);
        EXPECT_EQ(+block()->paperHeightOut, 0);
        EXPECT_EQ(PMGetScanError(), 0);
    }
}

}  // namespace
}  // namespace vexscan::test
