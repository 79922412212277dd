#include "tests/classic/chart_rows.h"

#include "sim/model/test_chart.h"

namespace vexscan::test {
namespace {

using sim::ChartChannel;
using sim::chartDot;
using sim::chartLevel;
using sim::chartSample;

constexpr ChartChannel kRed = ChartChannel::Red;
constexpr ChartChannel kGreen = ChartChannel::Green;
constexpr ChartChannel kBlue = ChartChannel::Blue;
constexpr ChartChannel kGray = ChartChannel::Gray;

// 234 grey values: runs of eleven inputs on runs of eleven outputs that overlap by one, with the
// top three inputs set apart.
uint8_t reducedGray(unsigned v) {
    if (v >= 253) return static_cast<uint8_t>(v == 253 ? 231 : v == 254 ? 232 : 234);
    return static_cast<uint8_t>(10 * (v / 11) + v % 11);
}

// Levels 0..7 of a channel onto the six steps of the colour cube.
unsigned cubeStep(unsigned level) {
    static constexpr unsigned kSteps[8] = {0, 1, 1, 2, 3, 4, 4, 5};
    return kSteps[level];
}

}  // namespace

Bytes expectedChartRow(const ChartRowRequest& r) {
    Bytes row;
    const uint32_t y = r.y;
    const auto x = [&](uint32_t i) { return r.left + i; };
    const auto pushSample = [&](uint16_t sample) {
        row.push_back(static_cast<uint8_t>(sample & 0xFF));
        row.push_back(static_cast<uint8_t>(sample >> 8));
    };
    // Interleaved pixels keep the device's red-green-blue order unless swapped; the plane layouts
    // put the last plane (blue) in the high bits unless swapped.
    const bool planes = r.imageType == 3 || r.imageType == 4;
    const ChartChannel first = r.swapOrder != planes ? kBlue : kRed;
    const ChartChannel last = first == kBlue ? kRed : kBlue;
    switch (r.imageType) {
        case 0:
            for (uint32_t i = 0; i < r.width; i += 8) {
                uint8_t byte = 0;
                for (uint32_t k = 0; k < 8; ++k) {
                    if (chartDot(x(i + k), y, r.threshold)) byte |= static_cast<uint8_t>(0x80 >> k);
                }
                row.push_back(byte);
            }
            break;
        case 1:
            for (uint32_t i = 0; i < r.width; i += 2) {
                row.push_back(static_cast<uint8_t>(chartLevel(x(i), y, kGray, 4) << 4 |
                                                   chartLevel(x(i + 1), y, kGray, 4)));
            }
            break;
        case 2:
            for (uint32_t i = 0; i < r.width; ++i) {
                const unsigned v = chartLevel(x(i), y, kGray, 8);
                row.push_back(r.eightBit ? reducedGray(v) : static_cast<uint8_t>(v));
            }
            break;
        case 3:
            // Three one-bit planes; the first channel named by the order is the high bit.
            for (uint32_t i = 0; i < r.width; i += 2) {
                const auto value = [&](uint32_t at) {
                    return 4u * chartLevel(x(at), y, first, 1) +
                           2u * chartLevel(x(at), y, kGreen, 1) + chartLevel(x(at), y, last, 1);
                };
                row.push_back(static_cast<uint8_t>(value(i) << 4 | value(i + 1)));
            }
            break;
        case 4:
            for (uint32_t i = 0; i < r.width; ++i) {
                row.push_back(static_cast<uint8_t>(36 * cubeStep(chartLevel(x(i), y, first, 3)) +
                                                   6 * cubeStep(chartLevel(x(i), y, kGreen, 3)) +
                                                   cubeStep(chartLevel(x(i), y, last, 3))));
            }
            break;
        case 5:
            for (uint32_t i = 0; i < r.width; ++i) {
                for (ChartChannel c : {first, kGreen, last}) {
                    row.push_back(static_cast<uint8_t>(chartLevel(x(i), y, c, 8)));
                }
            }
            break;
        case 6:
            for (uint32_t i = 0; i < r.width; ++i) {
                row.push_back(static_cast<uint8_t>(chartLevel(x(i), y, kBlue, 4)));
                row.push_back(static_cast<uint8_t>(chartLevel(x(i), y, kGreen, 4) << 4 |
                                                   chartLevel(x(i), y, kRed, 4)));
            }
            break;
        case 7:
            for (uint32_t i = 0; i < r.width; ++i) {
                for (ChartChannel c : {first, kGreen, last}) {
                    if (r.eightBit) {
                        row.push_back(static_cast<uint8_t>(chartLevel(x(i), y, c, 8)));
                    } else {
                        pushSample(chartSample(x(i), y, c));
                    }
                }
            }
            break;
        case 8:
            for (uint32_t i = 0; i < r.width; ++i) {
                if (r.eightBit) {
                    row.push_back(static_cast<uint8_t>(chartLevel(x(i), y, kGray, 8)));
                } else {
                    pushSample(chartSample(x(i), y, kGray));
                }
            }
            break;
        default:
            break;
    }
    return row;
}

}  // namespace vexscan::test
