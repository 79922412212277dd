// How each image type packs its pixels into the caller's rows. Both command families size their
// output lines from this one table.
#pragma once

#include <cstdint>
#include <optional>

namespace vexscan {

struct PixelLayout {
    std::uint8_t bitsPerChannel;  // bits of one channel of one pixel
    std::uint8_t channels;        // 1 for line art and grey, 3 for colour
    std::uint8_t bytesPerUnit;    // bytes of one packing unit
    std::uint8_t pixelsPerUnit;   // pixels that share one packing unit

    friend constexpr bool operator==(const PixelLayout&, const PixelLayout&) = default;
};

// The output packing of `imageType` 0..8; no layout for any other type. `eightBitOutput` matters
// to types 7 and 8 only (8 bits per sample instead of 16). Type 4's pixel is one palette index of
// the 6 × 6 × 6 colour cube, made from three 3-bit channel levels.
constexpr std::optional<PixelLayout> pixelLayoutFor(std::int32_t imageType, bool eightBitOutput) {
    switch (imageType) {
        case 0:
            return PixelLayout{1, 1, 1, 8};  // line art
        case 1:
            return PixelLayout{4, 1, 1, 2};  // 4-bit grey
        case 2:
            return PixelLayout{8, 1, 1, 1};  // 8-bit grey
        case 3:
            return PixelLayout{1, 3, 1, 2};  // 8 colours, one nibble a pixel
        case 4:
            return PixelLayout{3, 3, 1, 1};  // 256 colours
        case 5:
            return PixelLayout{8, 3, 3, 1};  // 24-bit colour
        case 6:
            return PixelLayout{4, 3, 2, 1};  // 12-bit colour
        case 7:
            return eightBitOutput ? PixelLayout{8, 3, 3, 1} : PixelLayout{16, 3, 6, 1};
        case 8:
            return eightBitOutput ? PixelLayout{8, 1, 1, 1} : PixelLayout{16, 1, 2, 1};
        default:
            return std::nullopt;
    }
}

// Bytes that `pixels` pixels occupy: whole packing units, the last one possibly part-filled.
// Computed in 64 bits so that no 32-bit width can wrap it.
constexpr std::uint64_t packedBytes(const PixelLayout& layout, std::uint32_t pixels) {
    const std::uint64_t units =
        (std::uint64_t{pixels} + layout.pixelsPerUnit - 1) / layout.pixelsPerUnit;
    return units * layout.bytesPerUnit;
}

}  // namespace vexscan
