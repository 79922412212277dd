// The arithmetic behind a classic device's scan set-up: the code bytes, the resolution and zoom
// the device is given, the widest area it can scan and how the requested area is aligned and
// limited. Pure functions, so that every rule can be checked on its own.
#pragma once

#include <cstdint>
#include <optional>

namespace vexscan {

// The colour code sent with ESC C.
uint8_t classicColorCode(int32_t monoChannelSelect, int32_t dropoutChannel, uint8_t colorMode,
                         int32_t colorModeVariant);

// The halftone code sent with ESC B; nothing when halftoneIndex lies outside the table (and text
// enhancement does not replace the table).
std::optional<uint8_t> classicHalftoneCode(int32_t textEnhance, int32_t levelIndex,
                                           int32_t halftoneIndex);

// The byte sent with ESC s.
uint8_t classicTextEnhanceCode(int32_t textEnhance, int32_t textEnhanceOption);

// What ESC R and ESC H carry. Above 4800 dpi horizontally the device is driven at 4800 dpi and
// the zoom makes up the difference.
struct DeviceResolution {
    uint16_t resolutionX;
    uint16_t resolutionY;
    uint8_t zoomX;
    uint8_t zoomY;
};
DeviceResolution classicDeviceResolution(int32_t resolutionX, int32_t resolutionY, int32_t zoomX,
                                         int32_t zoomY);

// The widest scan in pixels for a source `sourceWidth` pixels wide at `maximumResolution` dpi.
// `maximumResolution` is never 0: identification refuses such a device.
int64_t classicMaximumWidth(uint32_t sourceWidth, uint16_t maximumResolution, int32_t resolutionX,
                            int32_t zoomX);

struct AreaRequest {
    int32_t levelIndex;
    int32_t mirror;
    int32_t scanSpeed;
    uint8_t bitsPerChannel;
    uint32_t left;
    uint32_t top;
    uint32_t width;
    uint32_t height;
    int64_t maximumWidth;
};

struct AlignedArea {
    int64_t left = 0;
    int64_t top = 0;
    int64_t width = 0;
    int64_t height = 0;
    uint16_t padPixels = 0;
    bool send = true;       // false: ESC A must not be sent
    int32_t errorCode = 0;  // set after ESC A (16) or instead of it (34, 35)
};

// Aligns the area to whole bytes of line art (multiples of 8 pixels) inside the maximum width,
// keeping the right edge in place when the device mirrors and the left edge otherwise, then
// applies the limits of the device's level.
AlignedArea classicAlignArea(const AreaRequest& request);

}  // namespace vexscan
