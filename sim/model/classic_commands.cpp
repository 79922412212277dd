// Replies only classic devices give: the extended status block, which also tells which option is
// attached and how large it is, and the product name.
#include <string>
#include <vector>

#include "sim/model/device_model.h"

namespace vexscan::sim {
namespace {

constexpr uint8_t kAttached = 0x80;
constexpr uint8_t kFeederFlagBits = 0x30;
constexpr uint8_t kWarmingUp = 0x02;
// An empty feeder: its condition bits are valid (0x40) and name paper out (0x04).
constexpr uint8_t kFeederPaperOut = 0x44;
constexpr std::size_t kFeederStatusByte = 1;
constexpr std::size_t kFurtherStatusByte = 11;
// Eight bytes the library skips before the name; not blanks, so a name read from the wrong
// place shows.
constexpr char kNamePrefix[] = "ID:00001";

void putArea(std::vector<uint8_t>& bytes, bool present, const DeviceProfile& profile) {
    putWord(bytes, present ? profile.optionWidth : 0);
    putWord(bytes, present ? profile.optionHeight : 0);
}

// Main status, feeder status and area, film adapter status and area, further status.
std::vector<uint8_t> extendedStatusBody(const DeviceProfile& profile, bool paperOut) {
    const bool feeder = profile.option == OptionKind::DocumentFeeder;
    const bool film = profile.option == OptionKind::FilmAdapter;
    std::vector<uint8_t> body;
    body.push_back(static_cast<uint8_t>(profile.mainStatus |
                                        (feeder ? profile.feederFlags & kFeederFlagBits : 0)));
    body.push_back(static_cast<uint8_t>(profile.feederStatus | (feeder ? kAttached : 0) |
                                        (feeder && paperOut ? kFeederPaperOut : 0)));
    putArea(body, feeder, profile);
    body.push_back(static_cast<uint8_t>(profile.filmStatus | (film ? kAttached : 0)));
    putArea(body, film, profile);
    body.push_back(profile.furtherStatus);
    return body;
}

// Whatever the profile's name is, sent as it stands: a short name gives a short reply.
std::vector<uint8_t> nameBody(const DeviceProfile& profile) {
    std::vector<uint8_t> body(kNamePrefix, kNamePrefix + sizeof kNamePrefix - 1);
    body.insert(body.end(), profile.productName.begin(), profile.productName.end());
    return body;
}

}  // namespace

void registerClassicCommands(CommandTable& table) {
    table.add(commandKey(kEsc, 'f'), [](DeviceModel& device) {
        std::vector<uint8_t> body =
            extendedStatusBody(device.profile(), device.feeder().empty());
        int32_t& warmUpLeft = device.classic().warmUpPollsLeft;
        if (warmUpLeft > 0) {
            body[0] |= kWarmingUp;
            --warmUpLeft;
        }
        uint8_t header = device.profile().statusHeader;
        const ClassicDeviceState& state = device.classic();
        if (state.transfer.stopped) {
            header |= state.behaviour.stoppedHeaderStatus;
            body[kFeederStatusByte] |= state.behaviour.stoppedFeederStatus;
            body[kFurtherStatusByte] |= state.behaviour.stoppedFurtherStatus;
        }
        device.replyWithHeader(header, body);
    });
    table.add(commandKey(kEsc, '?'),
              [](DeviceModel& device) { device.replyWithHeader(0, nameBody(device.profile())); });
    registerClassicSetupCommands(table);
    registerClassicScanCommands(table);
}

}  // namespace vexscan::sim
