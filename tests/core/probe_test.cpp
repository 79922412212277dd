// The open-time probe: which identity replies choose the extended family, and how it fails.
#include <gtest/gtest.h>

#include "tests/support/sim_fixture.h"
#include "vexscan/device/probe_scanner.h"

namespace vexscan::test {
namespace {

class ProbeTest : public SimulatedScannerTest {
protected:
    void SetUp() override {
        SimulatedScannerTest::SetUp();
        port = simulatedPort();
        device->log().clear();
    }
    std::unique_ptr<CommPort> port;
};

TEST_F(ProbeTest, OnlyStatusBit02ChoosesTheExtendedFamily) {
    const struct {
        uint8_t status;
        bool extended;
    } cases[] = {{0x02, true}, {0x03, true}, {0xFF, true}, {0x00, false}, {0x01, false}, {0x80, false}, {0xFD, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "status " << int(c.status));
        device->profile().identityStatus = c.status;
        bool extendedFamily = false;
        EXPECT_EQ(probeDevice(*port, extendedFamily), 1);
        EXPECT_EQ(extendedFamily, c.extended);
    }
}

TEST_F(ProbeTest, NeverClearsAFlagAlreadySet) {
    device->profile().identityStatus = 0x00;
    bool extendedFamily = true;
    EXPECT_EQ(probeDevice(*port, extendedFamily), 1);
    EXPECT_TRUE(extendedFamily);
}

TEST_F(ProbeTest, SendsOnlyTheIdentityRequestAndClosesThePort) {
    bool extendedFamily = false;
    ASSERT_EQ(probeDevice(*port, extendedFamily), 1);
    EXPECT_TRUE(bytesEqual({0x1B, 0x49}, written()));
    EXPECT_FALSE(port->isOpen());
    EXPECT_FALSE(device->portOpen());
}

TEST_F(ProbeTest, PortRefusalPassesUp) {
    const struct {
        int32_t driverResult;
        int32_t probeResult;
    } cases[] = {{37, 37}, {5, 0}, {-1, 0}};
    for (const auto& c : cases) {
        device->faults().openResults = {c.driverResult};
        bool extendedFamily = false;
        EXPECT_EQ(probeDevice(*port, extendedFamily), c.probeResult) << c.driverResult;
        EXPECT_TRUE(written().empty());
    }
}

TEST_F(ProbeTest, UnusableIdentityReplyFailsAndLeavesThePortOpen) {
    const struct {
        const char* name;
        sim::ReplyEdit edit;
    } cases[] = {
        {"no STX", {sim::commandKey(0x1B, 'I'), std::nullopt, 0, 0x03}},
        {"header cut short", {sim::commandKey(0x1B, 'I'), 3, std::nullopt, 0}},
        {"body cut short", {sim::commandKey(0x1B, 'I'), 8, std::nullopt, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        device->faults().replyEdits = {c.edit};
        bool extendedFamily = false;
        EXPECT_EQ(probeDevice(*port, extendedFamily), 0);
        EXPECT_FALSE(extendedFamily);
        EXPECT_TRUE(port->isOpen());
        port->closePort();
    }
}

TEST_F(ProbeTest, IdentityReplyLongerThanReplyBufferIsReadToItsEnd) {
    // 40 resolution entries: a body of 127 bytes against a 100-byte replyBuffer.
    device->profile().resolutions.assign(40, 600);
    device->profile().identityStatus = 0x02;
    bool extendedFamily = false;
    EXPECT_EQ(probeDevice(*port, extendedFamily), 1);
    EXPECT_TRUE(extendedFamily);
    EXPECT_EQ(device->pendingReplyBytes(), 0u);
}

TEST(ProbeScannerOperations, DefaultsOfTheProbeObject) {
    auto model = installSimulatedDevice("classic-b3");
    auto port = simulatedPort();
    ProbeScanner probe(*port);
    int32_t width = -5;
    int32_t height = -6;
    char name[17] = "unchanged";
    EXPECT_EQ(probe.EnableOption(1), 1);
    EXPECT_EQ(probe.GetError(), 0);
    EXPECT_EQ(probe.GetOptionStatus(0), 0);
    EXPECT_EQ(probe.SetFocus(1, 0x1234), static_cast<int8_t>(0x34));
    EXPECT_EQ(probe.SetFocus(0, 0xFF), static_cast<int8_t>(-1));
    EXPECT_EQ(probe.GetScanPaperSize(0, &width, &height), 0);
    EXPECT_EQ(width, -5);
    EXPECT_EQ(height, -6);
    EXPECT_EQ(probe.GetScannerName(name), 1);
    EXPECT_STREQ(name, "unchanged");
    probe.Close();  // not open: no driver call
    EXPECT_TRUE(model->log().entries().size() == 2u);  // GETOPSYS and INIT of the port only
    sim::installDevice(nullptr);
}

}  // namespace
}  // namespace vexscan::test
