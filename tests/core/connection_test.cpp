// The connection's open and close sequences, the family choice and the exports that act on the
// current device object, against the simulated scanner in this process.
#include <gtest/gtest.h>

#include <array>
#include <climits>

#include "tests/support/sim_fixture.h"
#include "tests/support/temporary_directory.h"
#include "vexscan/api/connection.h"
#include "vexscan/classic/classic_scanner.h"
#include "vexscan/extended/extended_scanner.h"

namespace vexscan::test {
namespace {

std::unique_ptr<CommPort> createSimulatedPort() { return simulatedPort(); }

std::vector<sim::DriverCall> calls(const sim::DeviceModel& device) {
    std::vector<sim::DriverCall> sequence;
    for (const sim::LogEntry& entry : device.log().entries()) sequence.push_back(entry.call);
    return sequence;
}

class ConnectionTest : public SimulatedScannerTest {
protected:
    ConnectionTest() : SimulatedScannerTest("classic-b8"), windows_(windowsDirectory.path().string()) {}

    void TearDown() override {
        closeScanner();
        SimulatedScannerTest::TearDown();
    }

    int32_t open() { return openScanner(block(), &createSimulatedPort); }
    ScanParamBlock* block() { return reinterpret_cast<ScanParamBlock*>(blockMemory.data()); }

    void writeEscSupport(const char* value) {
        windowsDirectory.writeFile("TWAIN_32/KIVA4/PELLAR4.INI", std::string("[Debug]\nESCSupport=") + value + "\n");
    }

    TemporaryDirectory windowsDirectory;
    alignas(8) std::array<uint8_t, 1776> blockMemory{};

private:
    WindowsDirectoryOverride windows_;
};

TEST_F(ConnectionTest, FamilyComesFromTheProbeUnlessEscSupportForcesClassic) {
    const struct {
        uint8_t identityStatus;
        const char* escSupport;  // null: no settings file
        bool extended;
    } cases[] = {
        {0x02, nullptr, true}, {0x02, "2", true}, {0x02, "0", true}, {0x02, "1", false},
        {0x00, nullptr, false}, {0x00, "1", false}, {0x00, "2", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "status " << int(c.identityStatus) << " ESCSupport "
                                        << (c.escSupport ? c.escSupport : "absent"));
        std::filesystem::remove(windowsDirectory.path() / "TWAIN_32/KIVA4/PELLAR4.INI");
        if (c.escSupport != nullptr) writeEscSupport(c.escSupport);
        device->profile().identityStatus = c.identityStatus;

        EXPECT_EQ(open(), 1);
        EXPECT_EQ(connection().extendedFamily, c.extended);
        ScannerDevice* created = connection().device.get();
        EXPECT_EQ(dynamic_cast<ExtendedScanner*>(created) != nullptr, c.extended);
        EXPECT_EQ(dynamic_cast<ClassicScanner*>(created) != nullptr, !c.extended);
        EXPECT_EQ(connection().block, block());
        closeScanner();
    }
}

TEST_F(ConnectionTest, ProbeStillAsksForTheIdentityWhenClassicIsForced) {
    writeEscSupport("1");
    device->profile().identityStatus = 0x02;
    ASSERT_EQ(open(), 1);
    const Bytes all = written();
    ASSERT_GE(all.size(), 2u);
    EXPECT_TRUE(bytesEqual({0x1B, 0x49}, Bytes(all.begin(), all.begin() + 2)));
}

TEST_F(ConnectionTest, EscSupportReadWithWindowsRules) {
    windowsDirectory.writeFile("TWAIN_32/KIVA4/PELLAR4.INI", "; settings\n[debug]\n  escsupport = 1 ; forced\n");
    device->profile().identityStatus = 0x02;
    ASSERT_EQ(open(), 1);
    EXPECT_FALSE(connection().extendedFamily);
}

TEST_F(ConnectionTest, DriverRefusingThePortGives37AndKeepsOnlyThePort) {
    device->faults().openResults = {37};
    EXPECT_EQ(open(), 37);
    EXPECT_NE(connection().port, nullptr);
    EXPECT_EQ(connection().device, nullptr);

    device->log().clear();
    closeScanner();
    EXPECT_EQ(calls(*device), std::vector<sim::DriverCall>{sim::DriverCall::Exit});
    EXPECT_EQ(connection().port, nullptr);
}

TEST_F(ConnectionTest, FailuresBeforeTheDeviceObjectReturnZero) {
    const struct {
        const char* name;
        std::function<void(sim::DeviceModel&)> fault;
    } cases[] = {
        {"driver not ready", [](sim::DeviceModel& d) { d.faults().readyResult = 1; }},
        {"port open fails", [](sim::DeviceModel& d) { d.faults().openResults = {2}; }},
        {"identity unreadable", [](sim::DeviceModel& d) { d.faults().refusedCommands = {sim::commandKey(0x1B, 'I')}; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        device->faults() = {};
        c.fault(*device);
        EXPECT_EQ(open(), 0);
        EXPECT_EQ(connection().device, nullptr);
        closeScanner();
    }
}

TEST_F(ConnectionTest, DriverWithAMissingEntryPointIsNeverCalled) {
    const auto incomplete = []() -> std::unique_ptr<CommPort> {
        DriverEntryPoints entry = sim::driverEntryPoints();
        entry.DDSave = nullptr;
        return std::make_unique<CommPort>(entry);
    };
    EXPECT_EQ(openScanner(block(), incomplete), 0);
    closeScanner();
    EXPECT_TRUE(device->log().entries().empty());
}

TEST_F(ConnectionTest, DeviceOpenFailureIsReadWithGetScanErrorAndCloseTearsDown) {
    device->faults().openResults = {0, 37};  // the probe opens, the device's own open is refused
    EXPECT_EQ(open(), 0);
    ASSERT_NE(connection().device, nullptr);
    EXPECT_EQ(PMGetScanError(), 37);

    device->log().clear();
    closeScanner();
    EXPECT_EQ(calls(*device), std::vector<sim::DriverCall>{sim::DriverCall::Exit});
    EXPECT_EQ(connection().device, nullptr);
    EXPECT_EQ(connection().port, nullptr);
}

TEST_F(ConnectionTest, CloseClosesThePortThenExitsTheDriver) {
    ASSERT_EQ(open(), 1);
    device->log().clear();
    PMCloseScanner();
    // The device first switches its document feeder off (ESC e and its byte, each acknowledged).
    using Call = sim::DriverCall;
    EXPECT_EQ(calls(*device),
              (std::vector<Call>{Call::Write, Call::Read, Call::Write, Call::Read, Call::Close, Call::Exit}));
}

TEST_F(ConnectionTest, DriverInitialisationFormFollowsTheSystemCode) {
    const struct {
        int32_t systemCode;
        const char* arguments;
    } cases[] = {
        {3, "0x80000001 \"Software\\TALVO\\ORVANI\" \"\" 0 \"KIVA4\""},
        {4, "0x80000001 \"Software\\TALVO\\ORVANI\" \"\" 0 \"KIVA4\""},
        {2, "0x0 \"win.ini\" \"KIVA4DRV\" 1 \"KIVA4\""},
        {5, "0x0 \"win.ini\" \"KIVA4DRV\" 1 \"KIVA4\""},
    };
    for (const auto& c : cases) {
        device->profile().systemCode = c.systemCode;
        device->log().clear();
        CommPort port(sim::driverEntryPoints());
        const auto& entries = device->log().entries();
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[0].call, sim::DriverCall::GetOpsys);
        EXPECT_EQ(entries[1].call, sim::DriverCall::Init);
        EXPECT_EQ(entries[1].detail, c.arguments) << c.systemCode;
    }
}

TEST_F(ConnectionTest, SecondOpenWhileOpenIsRefusedAndChangesNothing) {
    ASSERT_EQ(open(), 1);
    ScannerDevice* first = connection().device.get();
    device->log().clear();
    EXPECT_EQ(open(), 0);
    EXPECT_EQ(connection().device.get(), first);
    EXPECT_TRUE(device->log().entries().empty());
}

TEST_F(ConnectionTest, OpenAfterAFailedOpenStartsClean) {
    device->faults().openResults = {37};
    ASSERT_EQ(open(), 37);
    EXPECT_EQ(open(), 1);
}

TEST_F(ConnectionTest, FamilyOfAnEarlierConnectionDoesNotCarryOver) {
    device->profile().identityStatus = 0x02;
    ASSERT_EQ(open(), 1);
    closeScanner();
    device->profile().identityStatus = 0x00;
    ASSERT_EQ(open(), 1);
    EXPECT_NE(dynamic_cast<ClassicScanner*>(connection().device.get()), nullptr);
}

TEST_F(ConnectionTest, EjectAndFeedIgnoreTheirArgument) {
    ASSERT_EQ(open(), 1);
    for (int32_t argument : {0, 1, -1, INT_MAX, INT_MIN}) {
        device->log().clear();
        EXPECT_EQ(PMEject(argument), 1);
        EXPECT_TRUE(bytesEqual({0x0C}, written()));
        device->log().clear();
        EXPECT_EQ(PMFeed(argument), 1);
        EXPECT_TRUE(bytesEqual({0x19}, written()));
    }
    device->log().clear();
    EXPECT_EQ(PMReset(), 1);
    EXPECT_TRUE(bytesEqual({0x1B, 0x40}, written()));
}

TEST_F(ConnectionTest, ControlExportsReportARefusal) {
    ASSERT_EQ(open(), 1);
    device->faults().refusedCommands = {sim::controlKey(0x0C), sim::controlKey(0x19), sim::commandKey(0x1B, '@')};
    EXPECT_EQ(PMEject(0), 0);
    EXPECT_EQ(PMFeed(0), 0);
    EXPECT_EQ(PMReset(), 0);
}

TEST_F(ConnectionTest, ExportsWithoutADeviceObjectFailQuietly) {
    InitAcquireResult init{};
    AcquireImageResult acquire{};
    uint8_t buffer[16];
    int32_t width = 7;
    int32_t height = 8;
    char name[17] = "";
    EXPECT_EQ(PMEject(0), 0);
    EXPECT_EQ(PMFeed(0), 0);
    EXPECT_EQ(PMReset(), 0);
    EXPECT_EQ(PMEnableOption(1), 0);
    EXPECT_EQ(PMGetScanError(), 0);
    EXPECT_EQ(PMAbortScan(), 0);
    EXPECT_EQ(PMGetOptionStatus(0), 0);
    EXPECT_EQ(PMSetFocus(0, 5), 0);
    EXPECT_EQ(PMGetScanPaperSize(0, &width, &height), 0);
    EXPECT_EQ(PMGetScannerName(name), 0);
    PMInitAcquire(1, nullptr, &init);
    PMAcquireImage(buffer, sizeof buffer, &acquire);
    EXPECT_EQ(init.status, 2);
    EXPECT_EQ(acquire.status, 2);
    EXPECT_EQ(width, 7);
    PMCloseScanner();
    EXPECT_TRUE(device->log().entries().empty());
}

}  // namespace
}  // namespace vexscan::test
