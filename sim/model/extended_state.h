// What a simulated extended-family device remembers between commands: the parameter block it
// has been sent, its warm-up countdown, and the rest of its running state.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace vexscan::sim {

// The 64-byte block of FS W, decoded field by field as the device reads it.
struct ExtendedScanParameters {
    uint32_t resolutionX = 0;
    uint32_t resolutionY = 0;
    uint32_t left = 0;
    uint32_t top = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t colorCode = 0;
    uint8_t bitsPerSample = 0;
    uint8_t source = 0;
    uint8_t scanSpeed = 0;
    uint8_t linesPerBlock = 0;
    uint8_t gammaCode = 0;
    uint8_t brightness = 0;
    uint8_t colorCorrection = 0;
    uint8_t halftoneCode = 0;
    uint8_t threshold = 0;
    uint8_t textEnhancement = 0;
    uint8_t sharpness = 0;
    uint8_t mirror = 0;
    uint8_t filmType = 0;
};

inline constexpr std::size_t kExtendedParameterBytes = 64;

// Decodes a block of exactly kExtendedParameterBytes bytes.
ExtendedScanParameters decodeExtendedParameters(const uint8_t* bytes);

// A scan under way: what FS G announced and how far the blocks have gone.
struct ExtendedTransfer {
    bool active = false;          // blocks remain to be sent
    bool awaitingAnswer = false;  // a full block has gone out; ACK or CAN is due
    uint32_t lineBytes = 0;
    uint32_t linesPerBlock = 0;
    uint32_t lines = 0;  // lines of the page (the programmed height)
    uint32_t linesSent = 0;
    uint32_t fullBlocks = 0;  // as announced; the last block follows them
    uint32_t blocksSent = 0;
};

struct ExtendedDeviceState {
    // Status polls (FS F) left that still report the lamp warming up.
    int32_t warmUpPollsLeft = 0;
    // Status requests answered so far.
    uint32_t statusRequests = 0;
    // Bits added to every status reply (FS F), for conditions a test wants the device to report.
    std::array<uint8_t, 16> statusBits{};

    // The last FS W block, as received and decoded; the count of blocks accepted.
    std::array<uint8_t, kExtendedParameterBytes> parameterBytes{};
    ExtendedScanParameters parameters;
    uint32_t parameterBlocks = 0;

    // Downloads in arrival order: the selector ('R', 'G', 'B') of each tone table, and the tables.
    std::vector<uint8_t> toneSelectors;
    std::array<std::array<uint8_t, 256>, 3> toneTables{};  // R, G, B
    std::array<uint8_t, 9> colorMatrix{};
    uint32_t colorMatrixDownloads = 0;

    // The option switch (ESC e): 0 flatbed, 1 option.
    uint8_t optionEnabled = 0;
    // The source the next scan reads: set by ESC e and by each FS W block (byte 26).
    uint8_t selectedSource = 0;

    // Scanning (FS G, ACK, CAN).
    ExtendedTransfer transfer;
    uint32_t startRequests = 0;  // FS G received
    uint32_t blocksSent = 0;     // over all scans
    uint32_t acknowledged = 0;   // ACKs that asked for a next block
    uint32_t cancelled = 0;      // CANs that ended a scan
    uint32_t strayAnswers = 0;   // ACK or CAN with no block waiting for one: ignored

    // Test knobs.
    // FS G answers "not ready" this many more times (besides while the lamp warms up).
    uint32_t notReadyStarts = 0;
    // Document feeder conditions the status (FS F) reports from the start: a paper jam, a
    // double feed.
    bool paperJam = false;
    bool doubleFeed = false;
    // The block of this index (counted from 0 in each scan) carries the fault bit 0x80 in its
    // status byte and the scan stops after it. From then on every status reply (FS F) adds
    // `faultStatusBits`: the device's account of what went wrong (none: a fault it cannot name).
    std::optional<uint32_t> faultAtBlock;
    std::array<uint8_t, 16> faultStatusBits{};
    bool faultSent = false;

    // The feeder jams, or draws two sheets at once, while block `block` is sent.
    void jamAtBlock(uint32_t block) { faultAt(block, kJamBits); }
    void doubleFeedAtBlock(uint32_t block) { faultAt(block, kDoubleFeedBits); }

    // Feeder status bits (status byte 1): valid under 0x40; 0x08 jam, 0x04 paper out, 0x02
    // double feed.
    static constexpr uint8_t kJamBits = 0x48;
    static constexpr uint8_t kPaperOutBits = 0x44;
    static constexpr uint8_t kDoubleFeedBits = 0x42;

private:
    void faultAt(uint32_t block, uint8_t feederBits) {
        faultAtBlock = block;
        faultStatusBits[1] = static_cast<uint8_t>(faultStatusBits[1] | feederBits);
    }
};

}  // namespace vexscan::sim
