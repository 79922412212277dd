// What a simulated extended-family device remembers between commands: the parameter block it
// has been sent, its warm-up countdown, and the rest of its running state.
#pragma once

#include <array>
#include <cstdint>
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
};

}  // namespace vexscan::sim
