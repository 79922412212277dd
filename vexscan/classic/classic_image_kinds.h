// What each image type asks of a classic device (the depth and colour codes of the set-up) and
// what it gives the caller (the packing of the output row), and the line sizes that follow.
#pragma once

#include <cstdint>
#include <optional>

namespace vexscan {

struct ClassicImageKind {
    int32_t imageKind;
    uint8_t bitsPerChannel;  // ESC D
    uint8_t colorMode;       // ESC C
    int32_t bytesPerUnit;
    int32_t pixelsPerUnit;
};

// The kind of `imageType` 0..8; nothing for any other type.
std::optional<ClassicImageKind> classicImageKindFor(int32_t imageType, bool eightBitOutput);

// Output line bytes for `width` pixels: whole units, raised to a multiple of 4 unless the caller
// packs two pixels a byte with layoutCode 1. In 64 bits, so no width wraps it.
uint64_t classicOutputLineBytes(const ClassicImageKind& kind, uint32_t width, int32_t layoutCode);

// True when the three colour planes of an output line arrive as three device lines.
constexpr bool classicPlaneKind(int32_t imageKind) { return imageKind == 3 || imageKind == 4; }

// Bytes of one device line (one plane for the plane kinds) of a set-up area `width` pixels wide,
// the device's width being whole bytes of line art (a multiple of 8 pixels). The 16-bit kinds
// always arrive with two bytes a sample, whatever the caller receives.
uint64_t classicDeviceLineBytes(int32_t imageKind, uint32_t width);

}  // namespace vexscan
