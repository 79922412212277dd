// What a simulated classic-family device remembers between commands: the scan it has been
// programmed for, its warm-up countdown, and the rest of its running state.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace vexscan::sim {

// Every value the set-up commands carried, as last received; a command never received stays
// empty. Tests and the acquisition read the scan back from here.
struct ProgrammedScan {
    int32_t setUpsStarted = 0;                                         // ESC F requests
    std::optional<uint8_t> option;                                     // ESC e
    std::optional<uint8_t> filmType;                                   // ESC N
    std::optional<uint8_t> colorCode;                                  // ESC C
    std::optional<uint8_t> bits;                                       // ESC D
    std::optional<uint8_t> halftone;                                   // ESC B
    std::optional<uint8_t> textEnhance;                                // ESC s
    std::optional<uint8_t> threshold;                                  // ESC t
    std::map<uint8_t, std::vector<uint8_t>> gammaTables;               // ESC z, by selector
    std::optional<uint8_t> gammaCode;                                  // ESC Z
    std::optional<int8_t> brightness;                                  // ESC L
    std::vector<uint8_t> colorMatrix;                                  // ESC m
    std::optional<uint8_t> colorMatrixOn;                              // ESC M
    std::optional<uint8_t> mirror;                                     // ESC K
    std::optional<int8_t> sharpness;                                   // ESC Q
    std::optional<uint8_t> speed;                                      // ESC g
    std::optional<uint16_t> resolutionX, resolutionY;                  // ESC R
    std::optional<uint8_t> zoomX, zoomY;                               // ESC H
    std::optional<uint16_t> areaLeft, areaTop, areaWidth, areaHeight;  // ESC A
};

// A page being sent: its geometry as programmed, where the transfer stands, and what the library
// answered so far.
struct ClassicTransfer {
    bool active = false;
    bool blockMode = false;
    uint32_t deviceLines = 0;   // lines of the page as the device sends them (planes count apart)
    uint32_t linesSent = 0;
    uint32_t lineBytes = 0;
    uint32_t linesPerBlock = 1;
    uint32_t blocksSent = 0;
    uint32_t acknowledged = 0;  // ACKs taken
    uint32_t cancelled = 0;     // CANs taken
    bool stopped = false;       // a block without lines has been sent
};

// Behaviour a test asks of the next scans.
struct ClassicScanBehaviour {
    // ESC G answers this many times that the lamp is still warming up (header status 0x80).
    int32_t startWarmUps = 0;
    // The block with this index (0 the first) announces no lines, with these status bits, and the
    // device sends nothing more.
    std::optional<uint32_t> zeroLineBlock;
    uint8_t zeroLineStatus = 0;
    // What the status (ESC f) adds once the device has stopped that way: bits of the header's
    // status byte, of the feeder status and of the further status.
    uint8_t stoppedHeaderStatus = 0;
    uint8_t stoppedFeederStatus = 0;
    uint8_t stoppedFurtherStatus = 0;
    // Every block carries status bit 0x40, the device's sign that it scans on without a new start.
    bool continuous = false;
};

struct ClassicDeviceState {
    // Status polls (ESC f) left that still report the lamp warming up.
    int32_t warmUpPollsLeft = 0;
    ProgrammedScan scan;
    // Last focus position set with ESC p (0xFF asks for automatic focusing).
    std::optional<uint8_t> focusPosition;
    // Lines per block asked with ESC d, if ever.
    std::optional<uint8_t> linesPerBlock;
    ClassicTransfer transfer;
    ClassicScanBehaviour behaviour;
    uint32_t scansStarted = 0;  // ESC G requests
};

}  // namespace vexscan::sim
