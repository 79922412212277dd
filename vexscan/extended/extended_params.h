// The pure parts of programming an extended scan: the image format each image type asks of the
// device, the fitting of the scan width and left offset into the maximum area, and the block size.
// Kept free of device traffic so every case can be checked from a table.
#pragma once

#include <cstdint>
#include <optional>

namespace vexscan {

// Widest scan line, in pixels, that a parameter block may carry.
inline constexpr uint32_t kExtendedMaximumWidth = 32752;
// Data bytes of one block: the data buffer holds one block and its status byte.
inline constexpr uint32_t kExtendedBlockDataBytes = 65280;

struct ExtendedImageFormat {
    int32_t imageKind;
    uint8_t bitsPerChannel;  // the caller's samples
    uint8_t bitsSent;        // block byte 25: what the device is asked for
    uint8_t colorMode;       // block byte 24 without a dropout channel
    uint8_t bytesPerUnit;    // output packing
    uint8_t pixelsPerUnit;
    // What the device sends for bitsSent: the two differ where the device's samples are packed or
    // widened differently from the output (12-bit colour, 12-bit samples read as 8-bit output).
    uint8_t deviceBytesPerUnit;
    uint8_t devicePixelsPerUnit;
};

// The format of `imageType`; nothing for the types this family cannot deliver (1, 3, 4, above 8).
std::optional<ExtendedImageFormat> extendedImageFormatFor(int32_t imageType, bool eightBitOutput,
                                                          bool swapOrder);

struct WidthFit {
    uint32_t width;     // may exceed kExtendedMaximumWidth (an area beyond the right edge)
    uint32_t left;
    int16_t padPixels;  // output pixels the device does not deliver
};

// Fits width and left offset into `maxWidth` pixels. 8-bit samples (bitsSent 5 to 8) keep their
// width; the others are aligned to 8 pixels. Nothing when a mirrored 8-bit area is wider than the
// whole maximum width: its left offset would be negative.
std::optional<WidthFit> fitWidthAndLeft(uint32_t scanWidth, uint32_t scanLeft, uint32_t maxWidth,
                                        uint8_t bitsSent, bool mirror);

// Lines of one data block, at most 255; nothing when one line exceeds a block (or is empty).
std::optional<uint8_t> linesPerBlockFor(uint32_t deviceLineBytes);

}  // namespace vexscan
