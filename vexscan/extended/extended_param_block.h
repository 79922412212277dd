// The 64-byte parameter record an extended device is programmed with (sent after FS W). Packed,
// little-endian, fixed offsets: the device reads it byte for byte.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace vexscan {

#pragma pack(push, 1)
struct ExtendedParamBlock {
    uint32_t resolutionX;     // 0: dpi, resolutionX x zoomX / 100
    uint32_t resolutionY;     // 4
    uint32_t left;            // 8: pixels at the horizontal resolution
    uint32_t top;             // 12: lines at the vertical resolution
    uint32_t width;           // 16: pixels
    uint32_t height;          // 20: lines
    uint8_t colorCode;        // 24
    uint8_t bitsPerSample;    // 25
    uint8_t source;           // 26: 0 flatbed, 1 option
    uint8_t scanSpeed;        // 27
    uint8_t linesPerBlock;    // 28: 1..255
    uint8_t gammaCode;        // 29
    uint8_t brightness;       // 30
    uint8_t colorCorrection;  // 31
    uint8_t halftoneCode;     // 32
    uint8_t threshold;        // 33
    uint8_t textEnhancement;  // 34
    uint8_t sharpness;        // 35
    uint8_t mirror;           // 36
    uint8_t filmType;         // 37
    uint8_t reserved[26];     // 38: always 0
};
#pragma pack(pop)

// The record goes to the wire as it lies in memory.
static_assert(std::endian::native == std::endian::little, "ExtendedParamBlock is little-endian");
static_assert(sizeof(ExtendedParamBlock) == 64, "ExtendedParamBlock size");
static_assert(offsetof(ExtendedParamBlock, resolutionY) == 4);
static_assert(offsetof(ExtendedParamBlock, left) == 8);
static_assert(offsetof(ExtendedParamBlock, top) == 12);
static_assert(offsetof(ExtendedParamBlock, width) == 16);
static_assert(offsetof(ExtendedParamBlock, height) == 20);
static_assert(offsetof(ExtendedParamBlock, colorCode) == 24);
static_assert(offsetof(ExtendedParamBlock, bitsPerSample) == 25);
static_assert(offsetof(ExtendedParamBlock, source) == 26);
static_assert(offsetof(ExtendedParamBlock, scanSpeed) == 27);
static_assert(offsetof(ExtendedParamBlock, linesPerBlock) == 28);
static_assert(offsetof(ExtendedParamBlock, gammaCode) == 29);
static_assert(offsetof(ExtendedParamBlock, brightness) == 30);
static_assert(offsetof(ExtendedParamBlock, colorCorrection) == 31);
static_assert(offsetof(ExtendedParamBlock, halftoneCode) == 32);
static_assert(offsetof(ExtendedParamBlock, threshold) == 33);
static_assert(offsetof(ExtendedParamBlock, textEnhancement) == 34);
static_assert(offsetof(ExtendedParamBlock, sharpness) == 35);
static_assert(offsetof(ExtendedParamBlock, mirror) == 36);
static_assert(offsetof(ExtendedParamBlock, filmType) == 37);
static_assert(offsetof(ExtendedParamBlock, reserved) == 38);

}  // namespace vexscan
