// The transport's bytes on the wire, its refusals and how it keeps the byte stream in step.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "tests/support/sim_fixture.h"
#include "vexscan/comm/transport.h"

namespace vexscan::test {
namespace {

using sim::commandKey;

class TransportTest : public SimulatedScannerTest {
protected:
    void SetUp() override {
        SimulatedScannerTest::SetUp();
        // Stand-in parameter commands: acknowledged, and so is the group that follows.
        for (uint8_t letter : {'C', 'R', 'T', 'X', 'z', 'm'}) {
            device->addCommand(commandKey(sim::kEsc, letter), [](sim::DeviceModel& model) {
                model.acknowledge();
                model.expectParameters([](sim::DeviceModel& m, std::span<const uint8_t>) { m.acknowledge(); });
            });
        }
        port = simulatedPort();
        ASSERT_EQ(port->openPort(), 1);
        device->log().clear();
    }

    // Every write of the exchange, one group per write.
    std::vector<Bytes> writes() const {
        std::vector<Bytes> groups;
        for (const sim::LogEntry& entry : device->log().entries()) {
            if (entry.call == sim::DriverCall::Write) groups.push_back(entry.bytes);
        }
        return groups;
    }

    DeviceLink link() { return DeviceLink{*port, reply}; }

    std::unique_ptr<CommPort> port;
    std::array<uint8_t, kReplyBufferSize> reply{};
};

std::vector<uint8_t> sequence(std::size_t count, uint8_t first) {
    std::vector<uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(first + i);
    return bytes;
}

struct ParameterSendCase {
    const char* name;
    uint8_t letter;
    std::function<bool(const DeviceLink&)> send;
    Bytes parameters;  // the single write that follows the acknowledged command
};

const std::vector<uint8_t> kNineBytes = sequence(9, 1);
const std::vector<uint8_t> kToneTable = sequence(256, 0);

std::vector<ParameterSendCase> parameterSendCases() {
    Bytes table257{'R'};
    table257.insert(table257.end(), kToneTable.begin(), kToneTable.end());
    return {
        {"byte", 'C', [](const DeviceLink& l) { return sendEscByte(l, 'C', 0x02); }, {0x02}},
        {"two bytes", 'T', [](const DeviceLink& l) { return sendEscTwoBytes(l, 'T', 0x81, 0x07); }, {0x81, 0x07}},
        {"two words", 'R', [](const DeviceLink& l) { return sendEscTwoWords(l, 'R', 300, 600); },
         {0x2C, 0x01, 0x58, 0x02}},
        {"four words", 'X',
         [](const DeviceLink& l) { return sendEscFourWords(l, 'X', 1, 0x0203, 0xFFFF, 0x8000); },
         {0x01, 0x00, 0x03, 0x02, 0xFF, 0xFF, 0x00, 0x80}},
        {"table without selector", 'm',
         [](const DeviceLink& l) { return sendEscTable(l, 'm', kNoSelector, kNineBytes.data(), 9); }, kNineBytes},
        {"table with selector", 'z',
         [](const DeviceLink& l) { return sendEscTable(l, 'z', 'R', kToneTable.data(), 256); }, table257},
    };
}

TEST_F(TransportTest, ParameterSendsWriteCommandThenOneParameterGroup) {
    for (const ParameterSendCase& c : parameterSendCases()) {
        SCOPED_TRACE(c.name);
        device->log().clear();
        EXPECT_TRUE(c.send(link()));
        const std::vector<Bytes> groups = writes();
        ASSERT_EQ(groups.size(), 2u);
        EXPECT_TRUE(bytesEqual({kEsc, c.letter}, groups[0]));
        EXPECT_TRUE(bytesEqual(c.parameters, groups[1]));
    }
}

TEST_F(TransportTest, RefusedCommandFailsAndNeverSendsItsParameters) {
    for (const ParameterSendCase& c : parameterSendCases()) {
        SCOPED_TRACE(c.name);
        device->faults().refusedCommands = {commandKey(kEsc, c.letter)};
        device->log().clear();
        EXPECT_FALSE(c.send(link()));
        EXPECT_TRUE(bytesEqual({kEsc, c.letter}, written()));
        EXPECT_EQ(reply[0], kNak);
    }
}

TEST_F(TransportTest, RefusedParameterGroupFails) {
    device->addCommand(commandKey(kEsc, 'C'), [](sim::DeviceModel& model) {
        model.acknowledge();
        model.expectParameters([](sim::DeviceModel& m, std::span<const uint8_t>) { m.refuse(); });
    });
    EXPECT_FALSE(sendEscByte(link(), 'C', 1));
    EXPECT_EQ(writes().size(), 2u);
}

TEST_F(TransportTest, FailedParameterWriteShowsAsMissingAcknowledgement) {
    device->faults().failWriteCall = 1;  // the command goes out, its parameters do not
    EXPECT_FALSE(sendEscTwoWords(link(), 'R', 300, 600));
}

TEST_F(TransportTest, TableTooLargeForItsBufferIsRefusedBeforeAnythingIsSent) {
    const std::vector<uint8_t> data(261, 0x55);
    EXPECT_FALSE(sendEscTable(link(), 'z', 'R', data.data(), 260));         // 1 + 260 bytes
    EXPECT_FALSE(sendEscTable(link(), 'm', kNoSelector, data.data(), 261));  // 261 bytes
    EXPECT_TRUE(written().empty());

    EXPECT_TRUE(sendEscTable(link(), 'z', 'R', data.data(), 259));
    EXPECT_TRUE(sendEscTable(link(), 'm', kNoSelector, data.data(), 260));
}

struct ControlCase {
    const char* name;
    std::function<bool(const DeviceLink&)> send;
    uint16_t key;
    Bytes bytes;
};

TEST_F(TransportTest, ControlRoutinesSendTheirBytesAndReadAnAcknowledgement) {
    const std::vector<ControlCase> cases = {
        {"reset", resetScanner, commandKey(kEsc, '@'), {0x1B, 0x40}},
        {"eject", ejectPaper, sim::controlKey(kFormFeed), {0x0C}},
        {"feed", feedPaper, sim::controlKey(kEndOfMedium), {0x19}},
    };
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.name);
        device->faults() = {};
        device->log().clear();
        EXPECT_TRUE(c.send(link()));
        EXPECT_TRUE(bytesEqual(c.bytes, written()));

        device->faults().refusedCommands = {c.key};
        EXPECT_FALSE(c.send(link()));
    }
}

TEST_F(TransportTest, FailedControlWriteReadsNothing) {
    device->faults().failWriteCall = 0;
    EXPECT_FALSE(resetScanner(link()));
    for (const sim::LogEntry& entry : device->log().entries()) {
        EXPECT_NE(entry.call, sim::DriverCall::Read);
    }
}

TEST_F(TransportTest, ReadAckClearsTheFirstTenBytesEvenWhenTheReadFails) {
    reply.fill(0xAA);
    EXPECT_FALSE(readAck(link()));  // nothing queued: the read fails
    for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ(reply[i], 0) << "byte " << i;
    EXPECT_EQ(reply[10], 0xAA);
}

TEST_F(TransportTest, ReadAckAcceptsOnlyAck) {
    for (uint8_t answer : {uint8_t{0x06}, uint8_t{0x15}, uint8_t{0x00}, uint8_t{0x86}}) {
        device->addCommand(sim::controlKey(0x7F), [answer](sim::DeviceModel& m) {
            m.reply(std::span<const uint8_t>(&answer, 1));
        });
        const uint8_t poke = 0x7F;
        port->writeBytes(&poke, 1);
        EXPECT_EQ(readAck(link()), answer == kAck) << int(answer);
    }
}

TEST_F(TransportTest, LongReplyBodyKeepsWhatFitsAndStaysInStep) {
    // 150 body bytes, then the acknowledgement of the next command.
    std::vector<uint8_t> body = sequence(150, 0);
    device->addCommand(commandKey(kEsc, 'Q'), [body](sim::DeviceModel& m) { m.reply(body); });
    ASSERT_TRUE(sendEsc(*port, 'Q'));
    std::array<uint8_t, 100> destination{};
    const ReplyBodyRead read = readReplyBody(*port, destination.data(), destination.size(), 150);
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.stored, 100u);
    EXPECT_EQ(destination[99], 99);
    EXPECT_EQ(device->pendingReplyBytes(), 0u);
    EXPECT_TRUE(resetScanner(link()));
}

TEST_F(TransportTest, ShortReplyBodyFails) {
    device->addCommand(commandKey(kEsc, 'Q'), [](sim::DeviceModel& m) { m.reply(sequence(5, 0)); });
    ASSERT_TRUE(sendEsc(*port, 'Q'));
    std::array<uint8_t, 100> destination{};
    EXPECT_FALSE(readReplyBody(*port, destination.data(), destination.size(), 8).ok);
}

}  // namespace
}  // namespace vexscan::test
