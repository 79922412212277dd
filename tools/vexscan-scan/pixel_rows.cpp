#include "tools/vexscan-scan/pixel_rows.h"

#include <algorithm>

namespace vexscan::tool {
namespace {

constexpr uint8_t kFull = 255;
constexpr uint8_t kCubeStep = 51;  // six levels 0..255
constexpr uint8_t kNibbleScale = 17;

void putRgb(std::span<uint8_t> target, std::size_t pixel, Rgb rgb) {
    target[pixel * 3] = rgb.red;
    target[pixel * 3 + 1] = rgb.green;
    target[pixel * 3 + 2] = rgb.blue;
}

// Pixels of the row that both spans have room for.
std::size_t pixelsThatFit(uint32_t width, std::size_t sourcePixels, std::size_t targetPixels) {
    return std::min<std::size_t>({width, sourcePixels, targetPixels});
}

}  // namespace

Rgb color8Entry(uint8_t index) {
    return Rgb{(index & 1) != 0 ? kFull : uint8_t{0}, (index & 2) != 0 ? kFull : uint8_t{0},
               (index & 4) != 0 ? kFull : uint8_t{0}};
}

Rgb color256Entry(uint8_t index) {
    if (index >= kColor256Entries) {
        return Rgb{0, 0, 0};  // outside the cube: no colour the library produces
    }
    return Rgb{static_cast<uint8_t>(index % 6 * kCubeStep),
               static_cast<uint8_t>(index / 6 % 6 * kCubeStep),
               static_cast<uint8_t>(index / 36 * kCubeStep)};
}

void invertBits(std::span<const uint8_t> source, std::span<uint8_t> target) {
    const std::size_t count = std::min(source.size(), target.size());
    for (std::size_t i = 0; i < count; ++i) {
        target[i] = static_cast<uint8_t>(~source[i]);
    }
}

void swapSampleBytes(std::span<const uint8_t> source, std::span<uint8_t> target) {
    const std::size_t samples = std::min(source.size(), target.size()) / 2;
    for (std::size_t i = 0; i < samples; ++i) {
        target[2 * i] = source[2 * i + 1];
        target[2 * i + 1] = source[2 * i];
    }
}

void expandColor12(std::span<const uint8_t> source, uint32_t width, std::span<uint8_t> target) {
    const std::size_t pixels = pixelsThatFit(width, source.size() / 2, target.size() / 3);
    for (std::size_t i = 0; i < pixels; ++i) {
        const uint8_t blueByte = source[2 * i];
        const uint8_t greenRedByte = source[2 * i + 1];
        putRgb(target, i,
               Rgb{static_cast<uint8_t>((greenRedByte & 0x0F) * kNibbleScale),
                   static_cast<uint8_t>((greenRedByte >> 4) * kNibbleScale),
                   static_cast<uint8_t>((blueByte & 0x0F) * kNibbleScale)});
    }
}

void expandColor8(std::span<const uint8_t> source, uint32_t width, std::span<uint8_t> target) {
    const std::size_t pixels = pixelsThatFit(width, source.size() * 2, target.size() / 3);
    for (std::size_t i = 0; i < pixels; ++i) {
        const uint8_t byte = source[i / 2];
        const auto index = static_cast<uint8_t>((i % 2 == 0 ? byte >> 4 : byte) & 0x07);
        putRgb(target, i, color8Entry(index));
    }
}

void expandColor256(std::span<const uint8_t> source, uint32_t width, std::span<uint8_t> target) {
    const std::size_t pixels = pixelsThatFit(width, source.size(), target.size() / 3);
    for (std::size_t i = 0; i < pixels; ++i) {
        putRgb(target, i, color256Entry(source[i]));
    }
}

}  // namespace vexscan::tool
