// The classic scan set-up: each command is acknowledged, its parameter group recorded in the
// programmed scan and acknowledged in turn. Focus commands move or report the focus drive.
#include <functional>
#include <span>
#include <vector>

#include "sim/model/device_model.h"

namespace vexscan::sim {
namespace {

constexpr std::size_t kGammaTableBytes = 257;  // selector and 256 entries
constexpr std::size_t kColorMatrixBytes = 9;

using Recorder = std::function<void(ProgrammedScan&, std::span<const uint8_t>)>;

uint16_t word(std::span<const uint8_t> bytes, std::size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

// A command that takes a parameter group of exactly `size` bytes; a group of any other size is
// refused and not recorded.
void addParameterCommand(CommandTable& table, uint8_t letter, std::size_t size, Recorder record) {
    table.add(commandKey(kEsc, letter), [size, record](DeviceModel& device) {
        device.acknowledge();
        device.expectParameters(
            [size, record](DeviceModel& d, std::span<const uint8_t> parameters) {
                if (parameters.size() != size) {
                    d.refuse();
                    return;
                }
                record(d.classic().scan, parameters);
                d.acknowledge();
            });
    });
}

void addByteCommand(CommandTable& table, uint8_t letter,
                    std::optional<uint8_t> ProgrammedScan::*field) {
    addParameterCommand(
        table, letter, 1,
        [field](ProgrammedScan& scan, std::span<const uint8_t> p) { scan.*field = p[0]; });
}

void addSignedByteCommand(CommandTable& table, uint8_t letter,
                          std::optional<int8_t> ProgrammedScan::*field) {
    addParameterCommand(table, letter, 1,
                        [field](ProgrammedScan& scan, std::span<const uint8_t> p) {
                            scan.*field = static_cast<int8_t>(p[0]);
                        });
}

}  // namespace

void registerClassicSetupCommands(CommandTable& table) {
    // ESC F opens a set-up; its short reply carries nothing the library uses.
    table.add(commandKey(kEsc, 'F'), [](DeviceModel& device) {
        ++device.classic().scan.setUpsStarted;
        device.replyWithHeader(0, {});
    });
    addByteCommand(table, 'e', &ProgrammedScan::option);
    addByteCommand(table, 'N', &ProgrammedScan::filmType);
    addByteCommand(table, 'C', &ProgrammedScan::colorCode);
    addByteCommand(table, 'D', &ProgrammedScan::bits);
    addByteCommand(table, 'B', &ProgrammedScan::halftone);
    addByteCommand(table, 's', &ProgrammedScan::textEnhance);
    addByteCommand(table, 't', &ProgrammedScan::threshold);
    addByteCommand(table, 'Z', &ProgrammedScan::gammaCode);
    addSignedByteCommand(table, 'L', &ProgrammedScan::brightness);
    addByteCommand(table, 'M', &ProgrammedScan::colorMatrixOn);
    addByteCommand(table, 'K', &ProgrammedScan::mirror);
    addSignedByteCommand(table, 'Q', &ProgrammedScan::sharpness);
    addByteCommand(table, 'g', &ProgrammedScan::speed);
    addParameterCommand(table, 'z', kGammaTableBytes,
                        [](ProgrammedScan& scan, std::span<const uint8_t> p) {
                            scan.gammaTables[p[0]].assign(p.begin() + 1, p.end());
                        });
    addParameterCommand(table, 'm', kColorMatrixBytes,
                        [](ProgrammedScan& scan, std::span<const uint8_t> p) {
                            scan.colorMatrix.assign(p.begin(), p.end());
                        });
    addParameterCommand(table, 'R', 4, [](ProgrammedScan& scan, std::span<const uint8_t> p) {
        scan.resolutionX = word(p, 0);
        scan.resolutionY = word(p, 2);
    });
    addParameterCommand(table, 'H', 2, [](ProgrammedScan& scan, std::span<const uint8_t> p) {
        scan.zoomX = p[0];
        scan.zoomY = p[1];
    });
    addParameterCommand(table, 'A', 8, [](ProgrammedScan& scan, std::span<const uint8_t> p) {
        scan.areaLeft = word(p, 0);
        scan.areaTop = word(p, 2);
        scan.areaWidth = word(p, 4);
        scan.areaHeight = word(p, 6);
    });

    table.add(commandKey(kEsc, 'p'), [](DeviceModel& device) {
        device.acknowledge();
        device.expectParameters([](DeviceModel& d, std::span<const uint8_t> parameters) {
            if (parameters.size() != 1) {
                d.refuse();
                return;
            }
            d.classic().focusPosition = parameters[0];
            d.acknowledge();
        });
    });
    // The outcome of the last automatic focusing: a failure flag and the position reached.
    table.add(commandKey(kEsc, 'q'), [](DeviceModel& device) {
        const DeviceProfile& profile = device.profile();
        const std::vector<uint8_t> body{static_cast<uint8_t>(profile.focusFails ? 0x01 : 0x00),
                                        profile.focusResult};
        device.replyWithHeader(0, body);
    });
}

}  // namespace vexscan::sim
