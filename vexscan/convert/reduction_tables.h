// Constant maps of the two table-driven converters, generated at compile time from their rules.
#pragma once

#include <array>
#include <cstdint>

namespace vexscan {

namespace detail {

constexpr std::array<std::uint8_t, 256> makeGrayReductionMap() {
    std::array<std::uint8_t, 256> map{};
    // Runs of 11 inputs map onto 11 outputs that overlap the next run by one value.
    for (int v = 0; v <= 252; ++v) {
        map[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(10 * (v / 11) + v % 11);
    }
    // The top of the range breaks the runs; 233 is never produced.
    map[253] = 231;
    map[254] = 232;
    map[255] = 234;
    return map;
}

// Reduces a 3-bit channel level to the six steps of the colour cube.
constexpr int colorCubeStep(int level) {
    constexpr std::array<int, 8> steps{0, 1, 1, 2, 3, 4, 4, 5};
    return steps[static_cast<std::size_t>(level)];
}

constexpr std::array<std::uint8_t, 512> makeColorReductionMap() {
    std::array<std::uint8_t, 512> map{};
    for (int i = 0; i < 512; ++i) {
        const int a = i / 64;
        const int b = (i / 8) % 8;
        const int c = i % 8;
        map[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(
            36 * colorCubeStep(a) + 6 * colorCubeStep(b) + colorCubeStep(c));
    }
    return map;
}

}  // namespace detail

// An 8-bit grey value onto the 234 values 0..232 and 234 (convertGrayMapped).
inline constexpr std::array<std::uint8_t, 256> grayReductionMap = detail::makeGrayReductionMap();

// Three 3-bit channel levels, index 64 × a + 8 × b + c, onto an index 0..215 of a 6 × 6 × 6 colour
// cube (convertColor256).
inline constexpr std::array<std::uint8_t, 512> colorReductionMap = detail::makeColorReductionMap();

}  // namespace vexscan
