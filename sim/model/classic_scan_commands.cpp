// A classic device scanning: ESC d sets the lines per block, ESC G starts the page, and every
// data block after the first is sent when the library acknowledges the one before (ACK); CAN
// ends the page early and is answered with one byte.
#include <algorithm>
#include <vector>

#include "sim/model/classic_scan_image.h"
#include "sim/model/device_model.h"

namespace vexscan::sim {
namespace {

constexpr uint8_t kCan = 0x18;
constexpr uint8_t kLastBlock = 0x20;
constexpr uint8_t kContinuous = 0x40;
constexpr uint8_t kWarmingUp = 0x80;
constexpr char kFirstBlockModeLevel = '4';

// Block mode: STX, status, bytes per line, lines. Otherwise: STX, status, bytes of the block.
std::vector<uint8_t> blockHeader(bool blockMode, uint8_t status, uint32_t lineBytes,
                                 uint32_t lines) {
    std::vector<uint8_t> header{kStx, status};
    putWord(header, blockMode ? lineBytes : lineBytes * lines);
    if (blockMode) {
        putWord(header, lines);
    }
    return header;
}

void sendNextBlock(DeviceModel& device) {
    ClassicDeviceState& state = device.classic();
    ClassicTransfer& transfer = state.transfer;
    const ClassicScanBehaviour& behaviour = state.behaviour;
    if (behaviour.zeroLineBlock && *behaviour.zeroLineBlock == transfer.blocksSent) {
        device.reply(blockHeader(transfer.blockMode, behaviour.zeroLineStatus,
                                 transfer.lineBytes, 0));
        ++transfer.blocksSent;
        transfer.active = false;
        transfer.stopped = true;
        return;
    }
    const uint32_t remaining = transfer.deviceLines - transfer.linesSent;
    const uint32_t lines = transfer.blockMode ? std::min(transfer.linesPerBlock, remaining)
                                              : std::min(1u, remaining);
    const bool last = transfer.linesSent + lines >= transfer.deviceLines;
    const auto status = static_cast<uint8_t>((last ? kLastBlock : 0) |
                                             (behaviour.continuous ? kContinuous : 0));
    std::vector<uint8_t> block = blockHeader(transfer.blockMode, status, transfer.lineBytes, lines);
    for (uint32_t k = 0; k < lines; ++k) {
        const std::vector<uint8_t> line =
            classicDeviceLine(state.scan, transfer.linesSent + k);
        block.insert(block.end(), line.begin(), line.end());
    }
    device.reply(block);
    transfer.linesSent += lines;
    ++transfer.blocksSent;
    transfer.active = !last;
}

bool scansFromFeeder(DeviceModel& device) {
    return device.profile().option == OptionKind::DocumentFeeder &&
           device.classic().scan.option.value_or(0) != 0;
}

void startPage(DeviceModel& device) {
    ClassicDeviceState& state = device.classic();
    ++state.scansStarted;
    const bool blockMode = device.profile().levelCode.size() >= 2 &&
                           device.profile().levelCode[1] >= kFirstBlockModeLevel;
    if (state.behaviour.startWarmUps > 0) {
        --state.behaviour.startWarmUps;
        device.reply(blockHeader(blockMode, kWarmingUp, 0, 0));
        return;
    }
    const ClassicLineLayout layout = classicLineLayout(state.scan);
    ClassicTransfer transfer;
    transfer.blockMode = blockMode;
    transfer.lineBytes = layout.lineBytes;
    transfer.deviceLines = layout.height * layout.linesPerRow;
    transfer.linesPerBlock = std::max<uint32_t>(state.linesPerBlock.value_or(1), 1);
    state.transfer = transfer;
    if (transfer.deviceLines == 0 || (scansFromFeeder(device) && !device.feeder().load())) {
        // Nothing to scan, or no sheet to scan it from: a block without lines says so.
        device.reply(blockHeader(blockMode, kLastBlock, layout.lineBytes, 0));
        return;
    }
    sendNextBlock(device);
}

}  // namespace

void registerClassicScanCommands(CommandTable& table) {
    table.add(commandKey(kEsc, 'd'), [](DeviceModel& device) {
        device.acknowledge();
        device.expectParameters([](DeviceModel& d, std::span<const uint8_t> parameters) {
            if (parameters.size() != 1) {
                d.refuse();
                return;
            }
            d.classic().linesPerBlock = parameters[0];
            d.acknowledge();
        });
    });
    table.add(commandKey(kEsc, 'G'), startPage);
    table.add(controlKey(kAck), [](DeviceModel& device) {
        ClassicTransfer& transfer = device.classic().transfer;
        ++transfer.acknowledged;
        if (transfer.active) {
            sendNextBlock(device);
        }
    });
    // The page is abandoned: the device answers, stops, and keeps its sheet for the eject.
    table.add(controlKey(kCan), [](DeviceModel& device) {
        ClassicTransfer& transfer = device.classic().transfer;
        ++transfer.cancelled;
        transfer.active = false;
        device.acknowledge();
    });
}

}  // namespace vexscan::sim
