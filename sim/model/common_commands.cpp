// Commands that devices of both families answer: the reset, the identity request the library's
// probe sends to every device, and the two paper-handling control bytes.
#include <vector>

#include "sim/model/device_model.h"

namespace vexscan::sim {
namespace {

constexpr uint8_t kResolutionTag = 'R';
constexpr uint8_t kAreaTag = 'A';

// Level, one tagged entry per resolution, then the tagged flatbed area entry.
std::vector<uint8_t> identityBody(const DeviceProfile& profile) {
    std::vector<uint8_t> body(profile.levelCode.begin(), profile.levelCode.end());
    body.resize(2, ' ');
    for (uint16_t resolution : profile.resolutions) {
        body.push_back(kResolutionTag);
        putWord(body, resolution);
    }
    body.push_back(kAreaTag);
    putWord(body, profile.bedWidth);
    putWord(body, profile.bedHeight);
    return body;
}

}  // namespace

void registerCommonCommands(CommandTable& table) {
    table.add(commandKey(kEsc, '@'), [](DeviceModel& device) { device.acknowledge(); });
    table.add(commandKey(kEsc, 'I'), [](DeviceModel& device) {
        device.replyWithHeader(device.profile().effectiveIdentityStatus(), identityBody(device.profile()));
    });
    table.add(controlKey(0x0C), [](DeviceModel& device) {  // FF: eject
        device.feeder().eject();
        device.acknowledge();
    });
    table.add(controlKey(0x19), [](DeviceModel& device) { device.acknowledge(); });  // EM: feed
}

}  // namespace vexscan::sim
