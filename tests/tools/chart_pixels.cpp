#include "tests/tools/chart_pixels.h"

#include "sim/model/test_chart.h"

namespace vexscan::tool::test {
namespace {

using sim::ChartChannel;
using sim::chartDot;
using sim::chartLevel;

constexpr ChartChannel kRgb[] = {ChartChannel::Red, ChartChannel::Green, ChartChannel::Blue};

// A 3-bit channel level onto the six levels of the 256-colour cube.
constexpr uint32_t kCubeLevel[8] = {0, 1, 1, 2, 3, 4, 4, 5};

// The top `bits` of a sample, kept in place in 16 bits.
uint32_t wideSample(uint32_t x, uint32_t y, ChartChannel channel, unsigned bits) {
    return uint32_t{chartLevel(x, y, channel, bits)} << (16 - bits);
}

std::array<uint32_t, 3> eachChannel(uint32_t x, uint32_t y, unsigned bits, uint32_t scale) {
    std::array<uint32_t, 3> samples{};
    for (int c = 0; c < 3; ++c) {
        samples[c] = chartLevel(x, y, kRgb[c], bits) * scale;
    }
    return samples;
}

uint32_t color8Index(uint32_t x, uint32_t y) {
    return 4u * chartLevel(x, y, ChartChannel::Blue, 1) +
           2u * chartLevel(x, y, ChartChannel::Green, 1) + chartLevel(x, y, ChartChannel::Red, 1);
}

uint32_t color256Index(uint32_t x, uint32_t y) {
    return 36 * kCubeLevel[chartLevel(x, y, ChartChannel::Blue, 3)] +
           6 * kCubeLevel[chartLevel(x, y, ChartChannel::Green, 3)] +
           kCubeLevel[chartLevel(x, y, ChartChannel::Red, 3)];
}

}  // namespace

std::array<uint32_t, 3> expectedFileSamples(PixelLayout layout, uint32_t x, uint32_t y,
                                            const ChartSettings& settings) {
    const unsigned wide = settings.wideSampleBits;
    switch (layout) {
        case PixelLayout::LineArt:
            return {chartDot(x, y, settings.threshold) ? 0u : 1u, 0, 0};  // PNG: 0 is black
        case PixelLayout::Gray4:
            return {chartLevel(x, y, ChartChannel::Gray, 4), 0, 0};
        case PixelLayout::Gray8:
            return {chartLevel(x, y, ChartChannel::Gray, 8), 0, 0};
        case PixelLayout::Gray16:
            return {wideSample(x, y, ChartChannel::Gray, wide), 0, 0};
        case PixelLayout::Color8:
            return {color8Index(x, y), 0, 0};
        case PixelLayout::Color256:
            return {color256Index(x, y), 0, 0};
        case PixelLayout::Color12:
            return eachChannel(x, y, 4, 17);
        case PixelLayout::Color24:
            return eachChannel(x, y, 8, 1);
        case PixelLayout::Color48:
            return {wideSample(x, y, ChartChannel::Red, wide),
                    wideSample(x, y, ChartChannel::Green, wide),
                    wideSample(x, y, ChartChannel::Blue, wide)};
    }
    return {};
}

std::array<uint32_t, 3> expectedPnmSamples(PixelLayout layout, uint32_t x, uint32_t y,
                                           const ChartSettings& settings) {
    switch (layout) {
        case PixelLayout::LineArt:
            return {chartDot(x, y, settings.threshold) ? 1u : 0u, 0, 0};  // PBM: 1 is black
        case PixelLayout::Color8: {
            const uint32_t index = color8Index(x, y);
            return {(index & 1) * 255, (index >> 1 & 1) * 255, (index >> 2 & 1) * 255};
        }
        case PixelLayout::Color256: {
            const uint32_t index = color256Index(x, y);
            return {index % 6 * 51, index / 6 % 6 * 51, index / 36 * 51};
        }
        default:
            return expectedFileSamples(layout, x, y, settings);
    }
}

}  // namespace vexscan::tool::test
