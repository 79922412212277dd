// The simulated scanner in the test's own process: a device model with the driver's entry points
// handed straight to a CommPort, and a replaced sleep that records instead of waiting.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sim/driver/driver_front.h"
#include "sim/model/device_model.h"
#include "tests/support/byte_assertions.h"
#include "vexscan/comm/comm_port.h"

namespace vexscan::test {

// A device model from a built-in profile, installed behind the in-process driver entry points.
std::shared_ptr<sim::DeviceModel> installSimulatedDevice(const std::string& profileName);

// A CommPort over whatever device is installed.
std::unique_ptr<CommPort> simulatedPort();

// Records every sleep of the library while it lives; no real time passes.
class RecordedSleeps {
public:
    RecordedSleeps();
    ~RecordedSleeps();
    RecordedSleeps(const RecordedSleeps&) = delete;
    RecordedSleeps& operator=(const RecordedSleeps&) = delete;

    const std::vector<uint32_t>& calls() const;
};

// Base fixture: a fresh device of `profileName` for each test, its log cleared of the set-up.
class SimulatedScannerTest : public ::testing::Test {
protected:
    explicit SimulatedScannerTest(std::string profileName = "classic-b8")
        : profileName_(std::move(profileName)) {}

    void SetUp() override { device = installSimulatedDevice(profileName_); }
    void TearDown() override { sim::installDevice(nullptr); }

    Bytes written() const { return device->log().writtenBytes(); }

    std::shared_ptr<sim::DeviceModel> device;

private:
    std::string profileName_;
};

}  // namespace vexscan::test
