#include "tests/support/sim_fixture.h"

#include "vexscan/platform/platform.h"

namespace vexscan::test {
namespace {

std::vector<uint32_t>& sleeps() {
    static std::vector<uint32_t> recorded;
    return recorded;
}

void recordSleep(uint32_t milliseconds) { sleeps().push_back(milliseconds); }

}  // namespace

std::shared_ptr<sim::DeviceModel> installSimulatedDevice(const std::string& profileName) {
    auto profile = sim::builtInProfile(profileName);
    EXPECT_TRUE(profile.has_value()) << "no built-in profile " << profileName;
    auto device = std::make_shared<sim::DeviceModel>(profile.value_or(sim::DeviceProfile{}));
    sim::installDevice(device);
    return device;
}

std::unique_ptr<CommPort> simulatedPort() { return std::make_unique<CommPort>(sim::driverEntryPoints()); }

RecordedSleeps::RecordedSleeps() {
    sleeps().clear();
    platform::setSleepFunction(&recordSleep);
}

RecordedSleeps::~RecordedSleeps() { platform::setSleepFunction(nullptr); }

const std::vector<uint32_t>& RecordedSleeps::calls() const { return sleeps(); }

}  // namespace vexscan::test
