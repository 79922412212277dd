#include "sim/model/extended_scan_commands.h"

#include <vector>

#include "sim/model/extended_scan_image.h"

namespace vexscan::sim {
namespace {

constexpr uint8_t kCan = 0x18;
constexpr uint8_t kNotReady = 0x80;
constexpr uint8_t kBlockFault = 0x80;
constexpr uint32_t kWidestLine = 32752;

void putLong(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<uint8_t>((value >> (8 * i)) & 0xFF));
    }
}

std::vector<uint8_t> startReply(uint8_t status, uint32_t fullBlockBytes, uint32_t fullBlocks,
                                uint32_t lastBlockBytes) {
    std::vector<uint8_t> reply{kStx, status};
    putLong(reply, fullBlockBytes);
    putLong(reply, fullBlocks);
    putLong(reply, lastBlockBytes);
    return reply;
}

bool scansFromFeeder(DeviceModel& device) {
    return device.profile().option == OptionKind::DocumentFeeder &&
           device.extended().selectedSource != 0;
}

// Appends the next block, its data and its status byte, to `out`.
void appendNextBlock(DeviceModel& device, std::vector<uint8_t>& out) {
    ExtendedDeviceState& state = device.extended();
    ExtendedTransfer& transfer = state.transfer;
    const bool last = transfer.blocksSent == transfer.fullBlocks;
    const uint32_t lines = last ? transfer.lines - transfer.linesSent : transfer.linesPerBlock;
    for (uint32_t k = 0; k < lines; ++k) {
        appendExtendedLine(state.parameters, transfer.linesSent + k, out);
    }
    const bool fault = state.faultAtBlock && *state.faultAtBlock == transfer.blocksSent;
    out.push_back(fault ? kBlockFault : 0);
    state.faultSent = state.faultSent || fault;
    transfer.linesSent += lines;
    ++transfer.blocksSent;
    ++state.blocksSent;
    // A faulty block ends the scan: the device waits for nothing more.
    transfer.active = !last && !fault;
    transfer.awaitingAnswer = transfer.active;
}

void startScan(DeviceModel& device) {
    ExtendedDeviceState& state = device.extended();
    ++state.startRequests;
    state.transfer = ExtendedTransfer{};
    state.faultSent = false;
    const ExtendedScanParameters& p = state.parameters;
    const uint64_t lineBytes = extendedLineBytes(p);
    // Without a usable block there is nothing to scan: the command is refused.
    if (state.parameterBlocks == 0 || p.width > kWidestLine || p.linesPerBlock == 0) {
        device.refuse();
        return;
    }
    bool ready = state.warmUpPollsLeft <= 0;
    if (state.notReadyStarts > 0) {
        --state.notReadyStarts;
        ready = false;
    }
    // A sheet is drawn in from the feeder; an empty tray leaves the device not ready, and its
    // status tells why.
    if (ready && scansFromFeeder(device) && !device.feeder().load()) {
        ready = false;
    }
    if (!ready) {
        device.reply(startReply(kNotReady, 0, 0, 0));
        return;
    }

    ExtendedTransfer& transfer = state.transfer;
    transfer.lineBytes = static_cast<uint32_t>(lineBytes);
    transfer.linesPerBlock = p.linesPerBlock;
    transfer.lines = p.height;
    // Full blocks, then a last block holding the rest (a whole block when the page divides
    // evenly, no line at all for an empty page).
    const uint32_t blocks =
        p.height == 0 ? 1 : (p.height + transfer.linesPerBlock - 1) / transfer.linesPerBlock;
    transfer.fullBlocks = blocks - 1;
    transfer.active = true;
    const uint32_t lastLines = p.height - transfer.fullBlocks * transfer.linesPerBlock;

    // The reply and the first block go out together, so a damaged reply damages what follows.
    std::vector<uint8_t> out = startReply(0, transfer.linesPerBlock * transfer.lineBytes,
                                          transfer.fullBlocks, lastLines * transfer.lineBytes);
    appendNextBlock(device, out);
    device.reply(out);
}

}  // namespace

void registerExtendedScanCommands(CommandTable& table) {
    table.add(commandKey(kFs, 'G'), startScan);
    table.add(controlKey(kAck), [](DeviceModel& device) {
        ExtendedDeviceState& state = device.extended();
        if (!state.transfer.awaitingAnswer) {
            ++state.strayAnswers;
            return;
        }
        ++state.acknowledged;
        std::vector<uint8_t> out;
        appendNextBlock(device, out);
        device.reply(out);
    });
    table.add(controlKey(kCan), [](DeviceModel& device) {
        ExtendedDeviceState& state = device.extended();
        if (!state.transfer.awaitingAnswer) {
            ++state.strayAnswers;
            return;
        }
        ++state.cancelled;
        state.transfer.active = false;
        state.transfer.awaitingAnswer = false;
        device.acknowledge();
    });
}

}  // namespace vexscan::sim
