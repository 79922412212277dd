// An extended device opened through the real open sequence against the simulated scanner, with
// a caller's block filled with a pattern so stray writes show.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "tests/support/patterned_block.h"
#include "tests/support/sim_fixture.h"
#include "tests/support/temporary_directory.h"
#include "vexscan/api/connection.h"
#include "vexscan/api/vexscan.h"
#include "vexscan/extended/extended_scanner.h"

namespace vexscan::test {

inline const Bytes kReset{0x1B, 0x40};
inline const Bytes kProbeIdentity{0x1B, 0x49};
inline const Bytes kIdentity{0x1C, 0x49};
inline const Bytes kStatus{0x1C, 0x46};

inline std::unique_ptr<CommPort> createSimulatedPort() { return simulatedPort(); }

inline void putLong(Bytes& bytes, std::size_t at, uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

class ExtendedTest : public SimulatedScannerTest, public PatternedBlock {
public:
    explicit ExtendedTest(std::string profile = "extended-b7")
        : SimulatedScannerTest(std::move(profile)), windows_(windowsDirectory_.path().string()) {}

    void SetUp() override {
        SimulatedScannerTest::SetUp();
        fillPattern();
    }
    void TearDown() override {
        closeScanner();
        ExtendedScanner::setBufferAllocatorForTesting(nullptr);
        SimulatedScannerTest::TearDown();
    }

    // A fresh connection to a fresh device of `profile`, and a freshly patterned block.
    void restart(const std::string& profile) {
        closeScanner();
        device = installSimulatedDevice(profile);
        device->log().clear();
        fillPattern();
    }

    int32_t open() { return openScanner(block(), &createSimulatedPort); }
    ExtendedScanner* scanner() {
        return dynamic_cast<ExtendedScanner*>(connection().device.get());
    }

    // Serves `reply` to the extended identity request.
    void replaceIdentity(Bytes reply) {
        device->addCommand(sim::commandKey(0x1C, 'I'),
                           [reply](sim::DeviceModel& d) { d.reply(reply); });
    }
    // Serves `reply` to the status request.
    void replaceStatus(Bytes reply) {
        device->addCommand(sim::commandKey(0x1C, 'F'),
                           [reply](sim::DeviceModel& d) { d.reply(reply); });
    }

private:
    TemporaryDirectory windowsDirectory_;
    WindowsDirectoryOverride windows_;
};

// An 80-byte identity reply: level, base resolution, the two figures, the areas, feeder flags and
// name.
struct IdentityFields {
    const char* level = "B7";
    uint32_t base = 600;
    uint32_t first = 50;
    uint32_t second = 2400;
    uint32_t bedW = 5100, bedH = 7020;
    uint32_t feederW = 5100, feederH = 8400;
    uint32_t filmW = 2100, filmH = 2700;
    uint8_t feederFlags = 0x30;
    const char* name = "Ambrel Scan 3300";
};

inline Bytes identityReply(const IdentityFields& f) {
    Bytes reply(80, 0);
    reply[0] = static_cast<uint8_t>(f.level[0]);
    reply[1] = static_cast<uint8_t>(f.level[1]);
    reply[2] = 0xEE;
    reply[3] = 0xEE;
    putLong(reply, 4, f.base);
    putLong(reply, 8, f.first);
    putLong(reply, 12, f.second);
    putLong(reply, 16, 0xDEADBEEF);
    putLong(reply, 20, f.bedW);
    putLong(reply, 24, f.bedH);
    putLong(reply, 28, f.feederW);
    putLong(reply, 32, f.feederH);
    putLong(reply, 36, f.filmW);
    putLong(reply, 40, f.filmH);
    reply[44] = f.feederFlags;
    reply[45] = 0xEE;
    for (std::size_t i = 0; i < 16 && f.name[i] != '\0'; ++i) reply[46 + i] = static_cast<uint8_t>(f.name[i]);
    for (std::size_t i = 62; i < 80; ++i) reply[i] = 0xEE;
    return reply;
}

inline Bytes statusReply(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    Bytes reply(16, 0);
    reply[0] = b0;
    reply[1] = b1;
    reply[2] = b2;
    reply[3] = b3;
    return reply;
}

}  // namespace vexscan::test
