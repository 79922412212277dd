#include "vexscan/classic/classic_image_kinds.h"

#include "vexscan/convert/pixel_layout.h"
#include "vexscan/device/byte_alignment.h"

namespace vexscan {
namespace {

constexpr uint8_t kColorMono = 0;
constexpr uint8_t kColorPlanes = 2;
constexpr uint8_t kColorInterleaved = 0x13;
constexpr int32_t kSixteenBitColor = 7;
constexpr int32_t kSixteenBitGray = 8;


}  // namespace

std::optional<ClassicImageKind> classicImageKindFor(int32_t imageType, bool eightBitOutput) {
    const std::optional<PixelLayout> layout = pixelLayoutFor(imageType, eightBitOutput);
    if (!layout) {
        return std::nullopt;
    }
    uint8_t colorMode = kColorMono;
    if (imageType == 3 || imageType == 4) {
        colorMode = kColorPlanes;
    } else if (layout->channels == 3) {
        colorMode = kColorInterleaved;
    }
    // ESC D carries the bits of one channel, except for 8 colours (one bit a plane) and
    // 256 colours (three bits a channel), which the output layout describes already.
    return ClassicImageKind{imageType, layout->bitsPerChannel, colorMode, layout->bytesPerUnit,
                            layout->pixelsPerUnit};
}

uint64_t classicOutputLineBytes(const ClassicImageKind& kind, uint32_t width, int32_t layoutCode) {
    const uint64_t units = (uint64_t{width} + static_cast<uint64_t>(kind.pixelsPerUnit) - 1) /
                           static_cast<uint64_t>(kind.pixelsPerUnit);
    uint64_t bytes = units * static_cast<uint64_t>(kind.bytesPerUnit);
    if (!(layoutCode == 1 && kind.pixelsPerUnit == 2)) {
        bytes = (bytes + 3) & ~uint64_t{3};
    }
    return bytes;
}

uint64_t classicDeviceLineBytes(int32_t imageKind, uint32_t width) {
    const auto pixels = static_cast<uint64_t>(roundUpTo8(width));
    switch (imageKind) {
        case 0:
        case 3:
            return pixels / 8;
        case 1:
        case 4:
            return (pixels + 1) / 2;
        case 2:
            return pixels;
        case 5:
            return pixels * 3;
        case 6:
            return (pixels + 1) / 2 * 3;
        case kSixteenBitColor:
            return pixels * 6;
        case kSixteenBitGray:
            return pixels * 2;
        default:
            return pixels;
    }
}

}  // namespace vexscan
