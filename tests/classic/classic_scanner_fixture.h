// A ClassicScanner opened on the simulated scanner in this process, with the caller's block and
// the command bytes the tests build their expected sequences from.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/sim_fixture.h"
#include "tests/support/temporary_directory.h"
#include "vexscan/classic/classic_scanner.h"

namespace vexscan::test {

inline Bytes esc(char letter) { return {0x1B, static_cast<uint8_t>(letter)}; }
inline Bytes escByte(char letter, uint8_t value) {
    return {0x1B, static_cast<uint8_t>(letter), value};
}
inline Bytes escTwo(char letter, uint8_t first, uint8_t second) {
    return {0x1B, static_cast<uint8_t>(letter), first, second};
}
inline Bytes escWords(char letter, std::initializer_list<uint16_t> words) {
    Bytes bytes = esc(letter);
    for (uint16_t w : words) {
        bytes.push_back(static_cast<uint8_t>(w & 0xFF));
        bytes.push_back(static_cast<uint8_t>(w >> 8));
    }
    return bytes;
}
inline Bytes escTable(char letter, int selector, const uint8_t* data, std::size_t size) {
    Bytes bytes = esc(letter);
    if (selector >= 0) bytes.push_back(static_cast<uint8_t>(selector));
    bytes.insert(bytes.end(), data, data + size);
    return bytes;
}

// How many times the library wrote exactly `command`.
inline int countWrites(const sim::DeviceModel& device, const Bytes& command) {
    int count = 0;
    for (const sim::LogEntry& entry : device.log().entries()) {
        if (entry.call == sim::DriverCall::Write && entry.bytes == command) ++count;
    }
    return count;
}

class ClassicScannerTest : public SimulatedScannerTest {
protected:
    ClassicScannerTest() : windows_(VEXSCAN_TEST_WINDOWS_DIR) {}

    void TearDown() override {
        scanner.reset();
        port.reset();
        SimulatedScannerTest::TearDown();
    }

    // A fresh device of `profile`, opened, its log cleared; the block keeps what the test set
    // before (open writes only the capability fields).
    void openDevice(const std::string& profile) {
        scanner.reset();
        port.reset();
        device = installSimulatedDevice(profile);
        port = simulatedPort();
        scanner = std::make_unique<ClassicScanner>(*port, &block);
        ASSERT_EQ(scanner->Open(), 1) << profile;
        device->log().clear();
    }

    ScanParamBlock block{};
    std::unique_ptr<CommPort> port;
    std::unique_ptr<ClassicScanner> scanner;

private:
    WindowsDirectoryOverride windows_;
};

}  // namespace vexscan::test
