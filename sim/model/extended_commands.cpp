// The extended family's side of the wire: the 80-byte identity (FS I), the 16-byte status (FS F),
// the 64-byte scan parameter block (FS W), the tone-table and colour-matrix downloads (ESC z,
// ESC m) and the option switch (ESC e). Scanning itself is in extended_scan_commands.cpp.
#include <algorithm>
#include <array>
#include <vector>

#include "sim/model/device_model.h"
#include "sim/model/extended_scan_commands.h"

namespace vexscan::sim {
namespace {

constexpr std::size_t kIdentityBytes = 80;
constexpr std::size_t kStatusBytes = 16;
constexpr std::size_t kNameBytes = 16;
constexpr std::size_t kToneTableBytes = 256;
constexpr std::size_t kColorMatrixBytes = 9;
constexpr uint8_t kInstalled = 0x80;
constexpr uint8_t kWarmingUp = 0x02;
constexpr uint8_t kFeederFlagBits = 0x30;
constexpr uint8_t kHeaderBits = 0xC0;  // the status header's fault bits land in status byte 0
constexpr std::size_t kSourceByte = 26;

// The feeder's own conditions. Paper out is told only while the feeder is the selected source:
// the library's warm-up wait reads the feeder bits whatever the source, and an empty feeder
// must not stop a flatbed scan.
uint8_t feederConditions(DeviceModel& device) {
    const ExtendedDeviceState& state = device.extended();
    uint8_t bits = 0;
    if (state.paperJam) bits |= ExtendedDeviceState::kJamBits;
    if (state.doubleFeed) bits |= ExtendedDeviceState::kDoubleFeedBits;
    if (state.selectedSource != 0 && device.feeder().empty()) {
        bits |= ExtendedDeviceState::kPaperOutBits;
    }
    return bits;
}

void putLong(std::array<uint8_t, kIdentityBytes>& bytes, std::size_t at, uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<uint8_t>((value >> (8 * i)) & 0xFF);
    }
}

uint32_t getLong(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

std::array<uint8_t, kIdentityBytes> identityReply(const DeviceProfile& profile) {
    const bool feeder = profile.option == OptionKind::DocumentFeeder;
    const bool film = profile.option == OptionKind::FilmAdapter;
    std::array<uint8_t, kIdentityBytes> reply{};
    for (std::size_t i = 0; i < 2 && i < profile.levelCode.size(); ++i) {
        reply[i] = static_cast<uint8_t>(profile.levelCode[i]);
    }
    putLong(reply, 4, profile.baseResolution);
    putLong(reply, 8, profile.firstResolutionFigure);
    putLong(reply, 12, profile.secondResolutionFigure);
    putLong(reply, 20, profile.bedWidth);
    putLong(reply, 24, profile.bedHeight);
    putLong(reply, 28, feeder ? profile.optionWidth : 0);
    putLong(reply, 32, feeder ? profile.optionHeight : 0);
    putLong(reply, 36, film ? profile.optionWidth : 0);
    putLong(reply, 40, film ? profile.optionHeight : 0);
    reply[44] = feeder ? static_cast<uint8_t>(profile.feederFlags & kFeederFlagBits) : 0;
    // Blank-padded to its 16 characters, with no terminator of its own.
    for (std::size_t i = 0; i < kNameBytes; ++i) {
        reply[46 + i] = i < profile.productName.size()
                            ? static_cast<uint8_t>(profile.productName[i])
                            : static_cast<uint8_t>(' ');
    }
    return reply;
}

std::array<uint8_t, kStatusBytes> statusReply(DeviceModel& device) {
    const DeviceProfile& profile = device.profile();
    ExtendedDeviceState& state = device.extended();
    ++state.statusRequests;
    uint8_t warming = 0;
    if (state.warmUpPollsLeft > 0) {
        --state.warmUpPollsLeft;
        warming = kWarmingUp;
    }
    std::array<uint8_t, kStatusBytes> reply{};
    reply[0] = static_cast<uint8_t>(profile.mainStatus | (profile.statusHeader & kHeaderBits) | warming);
    const bool feeder = profile.option == OptionKind::DocumentFeeder;
    reply[1] = static_cast<uint8_t>(profile.feederStatus |
                                    (feeder ? kInstalled | feederConditions(device) : 0));
    reply[2] = static_cast<uint8_t>(profile.filmStatus |
                                    (profile.option == OptionKind::FilmAdapter ? kInstalled : 0));
    reply[3] = profile.furtherStatus;
    for (std::size_t i = 0; i < kStatusBytes; ++i) {
        reply[i] = static_cast<uint8_t>(reply[i] | state.statusBits[i] |
                                        (state.faultSent ? state.faultStatusBits[i] : 0));
    }
    return reply;
}

// ESC letter is acknowledged, then its parameter group of exactly `size` bytes is taken by
// `accept`, which answers false to refuse it.
template <typename Accept>
void acceptGroup(DeviceModel& device, std::size_t size, Accept accept) {
    device.acknowledge();
    device.expectParameters([size, accept](DeviceModel& d, std::span<const uint8_t> bytes) {
        if (bytes.size() == size && accept(d, bytes)) {
            d.acknowledge();
        } else {
            d.refuse();
        }
    });
}

}  // namespace

ExtendedScanParameters decodeExtendedParameters(const uint8_t* bytes) {
    ExtendedScanParameters p;
    p.resolutionX = getLong(bytes + 0);
    p.resolutionY = getLong(bytes + 4);
    p.left = getLong(bytes + 8);
    p.top = getLong(bytes + 12);
    p.width = getLong(bytes + 16);
    p.height = getLong(bytes + 20);
    p.colorCode = bytes[24];
    p.bitsPerSample = bytes[25];
    p.source = bytes[26];
    p.scanSpeed = bytes[27];
    p.linesPerBlock = bytes[28];
    p.gammaCode = bytes[29];
    p.brightness = bytes[30];
    p.colorCorrection = bytes[31];
    p.halftoneCode = bytes[32];
    p.threshold = bytes[33];
    p.textEnhancement = bytes[34];
    p.sharpness = bytes[35];
    p.mirror = bytes[36];
    p.filmType = bytes[37];
    return p;
}

void registerExtendedFsCommands(CommandTable& table) {
    table.add(commandKey(kFs, 'I'), [](DeviceModel& device) {
        device.reply(identityReply(device.profile()));
    });
    table.add(commandKey(kFs, 'F'), [](DeviceModel& device) { device.reply(statusReply(device)); });
    table.add(commandKey(kFs, 'W'), [](DeviceModel& device) {
        acceptGroup(device, kExtendedParameterBytes, [](DeviceModel& d, std::span<const uint8_t> bytes) {
            ExtendedDeviceState& state = d.extended();
            std::copy(bytes.begin(), bytes.end(), state.parameterBytes.begin());
            state.parameters = decodeExtendedParameters(bytes.data());
            state.selectedSource = bytes[kSourceByte];
            ++state.parameterBlocks;
            return true;
        });
    });
}

void registerExtendedCommands(CommandTable& table) {
    registerExtendedFsCommands(table);
    registerExtendedScanCommands(table);
    table.add(commandKey(kEsc, 'z'), [](DeviceModel& device) {
        acceptGroup(device, 1 + kToneTableBytes, [](DeviceModel& d, std::span<const uint8_t> bytes) {
            static constexpr char kSelectors[] = {'R', 'G', 'B'};
            const auto* found = std::find(std::begin(kSelectors), std::end(kSelectors), bytes[0]);
            if (found == std::end(kSelectors)) {
                return false;
            }
            ExtendedDeviceState& state = d.extended();
            state.toneSelectors.push_back(bytes[0]);
            auto& table = state.toneTables[static_cast<std::size_t>(found - std::begin(kSelectors))];
            std::copy(bytes.begin() + 1, bytes.end(), table.begin());
            return true;
        });
    });
    table.add(commandKey(kEsc, 'm'), [](DeviceModel& device) {
        acceptGroup(device, kColorMatrixBytes, [](DeviceModel& d, std::span<const uint8_t> bytes) {
            std::copy(bytes.begin(), bytes.end(), d.extended().colorMatrix.begin());
            ++d.extended().colorMatrixDownloads;
            return true;
        });
    });
    table.add(commandKey(kEsc, 'e'), [](DeviceModel& device) {
        acceptGroup(device, 1, [](DeviceModel& d, std::span<const uint8_t> bytes) {
            if (bytes[0] > 1) {
                return false;
            }
            d.extended().optionEnabled = bytes[0];
            d.extended().selectedSource = bytes[0];
            return true;
        });
    });
}

}  // namespace vexscan::sim
