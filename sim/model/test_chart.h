// The picture every simulated scanner sees on its glass: a pure function of the position (in
// pixels at the scan's resolution, counted from the bed's top-left corner) and the channel, so
// tests can compute any pixel of a page on their own and compare it with what arrived.
//
// Samples are 16 bits wide; a device sending fewer bits per sample sends the top ones. The
// picture is built from smooth ramps (red across every 25 pixels, green down every 33 lines, blue along the
// diagonal every 43) with
// every bit of a sample changing somewhere, so that packings that drop or swap bits show.
#pragma once

#include <cstdint>

namespace vexscan::sim {

enum class ChartChannel { Red = 0, Green = 1, Blue = 2, Gray = 3 };

constexpr uint16_t chartSample(uint32_t x, uint32_t y, ChartChannel channel) {
    const uint32_t red = (x * 2621u + y * 7u) & 0xFFFFu;
    const uint32_t green = (y * 1999u + x * 5u) & 0xFFFFu;
    const uint32_t blue = ((x + y) * 1511u) & 0xFFFFu;
    switch (channel) {
        case ChartChannel::Red:
            return static_cast<uint16_t>(red);
        case ChartChannel::Green:
            return static_cast<uint16_t>(green);
        case ChartChannel::Blue:
            return static_cast<uint16_t>(blue);
        case ChartChannel::Gray:
        default:
            return static_cast<uint16_t>((red * 30u + green * 59u + blue * 11u) / 100u);
    }
}

// The top `bits` bits of a sample (1 to 16).
constexpr uint16_t chartLevel(uint32_t x, uint32_t y, ChartChannel channel, unsigned bits) {
    return static_cast<uint16_t>(chartSample(x, y, channel) >> (16u - bits));
}

// Line art: a dot is set where the grey sample is darker than the threshold (0 to 255); a
// threshold of 0 uses the middle of the range.
constexpr bool chartDot(uint32_t x, uint32_t y, uint8_t threshold) {
    const unsigned level = chartLevel(x, y, ChartChannel::Gray, 8);
    return level < (threshold != 0 ? threshold : 128u);
}

}  // namespace vexscan::sim
