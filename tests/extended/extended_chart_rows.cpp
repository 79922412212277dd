#include "tests/extended/extended_chart_rows.h"

#include <algorithm>

#include "sim/model/test_chart.h"
#include "vexscan/convert/reduction_tables.h"

namespace vexscan::test {
namespace {

using sim::ChartChannel;

struct Geometry {
    uint32_t taken;  // pixels of the row that come from the device
    bool blank;      // the device sent no such line
    uint32_t y;
};

Geometry geometryOf(const ExpectedPage& page, uint32_t line) {
    return {std::min(page.width, page.device.width), line >= page.device.height,
            page.device.top + line};
}

uint32_t chartX(const ExpectedPage& page, uint32_t i) {
    const sim::ExtendedScanParameters& d = page.device;
    return d.mirror != 0 ? d.left + d.width - 1 - i : d.left + i;
}

// A 12-bit sample as the device sends it: the top 12 bits of the chart's 16.
uint16_t twelveBit(uint32_t x, uint32_t y, ChartChannel channel) {
    return static_cast<uint16_t>(sim::chartSample(x, y, channel) & 0xFFF0);
}

void putWordLowFirst(Bytes& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

// One output pixel of the types that have whole-byte pixels; `white` for a line the device did
// not send.
Bytes pixel(const ExpectedPage& page, uint32_t x, uint32_t y, bool white) {
    const bool deviceOrder = page.layoutCode == 1;
    const ChartChannel first = deviceOrder ? ChartChannel::Red : ChartChannel::Blue;
    const ChartChannel last = deviceOrder ? ChartChannel::Blue : ChartChannel::Red;
    const auto level8 = [&](ChartChannel c) {
        return white ? uint8_t{0xFF} : static_cast<uint8_t>(sim::chartLevel(x, y, c, 8));
    };
    const auto sample12 = [&](ChartChannel c) {
        return white ? uint16_t{0xFFFF} : twelveBit(x, y, c);
    };
    Bytes out;
    switch (page.imageType) {
        case 2: {
            const uint8_t grey = level8(ChartChannel::Gray);
            out.push_back(page.eightBit ? grayReductionMap[grey] : grey);
            break;
        }
        case 5:
            out = {level8(first), level8(ChartChannel::Green), level8(last)};
            break;
        case 6: {
            const auto level4 = [&](ChartChannel c) {
                return white ? 0xFu : unsigned{sim::chartLevel(x, y, c, 4)};
            };
            out.push_back(static_cast<uint8_t>(level4(ChartChannel::Blue)));
            out.push_back(
                static_cast<uint8_t>(level4(ChartChannel::Green) << 4 | level4(ChartChannel::Red)));
            break;
        }
        case 7:
            for (ChartChannel c : {first, ChartChannel::Green, last}) {
                if (page.eightBit) {
                    out.push_back(static_cast<uint8_t>(sample12(c) >> 8));
                } else {
                    putWordLowFirst(out, sample12(c));
                }
            }
            break;
        case 8:
            if (page.eightBit) {
                out.push_back(static_cast<uint8_t>(sample12(ChartChannel::Gray) >> 8));
            } else {
                putWordLowFirst(out, sample12(ChartChannel::Gray));
            }
            break;
        default:
            break;
    }
    return out;
}

Bytes lineArtRow(const ExpectedPage& page, const Geometry& g) {
    const uint32_t rowBytes = (page.width + 7) / 8;
    const uint32_t sentBytes = (g.taken + 7) / 8;
    Bytes row;
    for (uint32_t k = 0; k < rowBytes; ++k) {
        if (k >= sentBytes) {
            row.push_back(row.back());  // the fill repeats the last byte, as written
            continue;
        }
        uint8_t byte = 0;
        for (uint32_t bit = 0; bit < 8; ++bit) {
            const uint32_t i = 8 * k + bit;
            const bool dot = !g.blank && i < page.device.width &&
                             sim::chartDot(chartX(page, i), g.y, page.device.threshold);
            if (dot) byte = static_cast<uint8_t>(byte | (0x80u >> bit));
        }
        row.push_back(page.invert ? static_cast<uint8_t>(~byte) : byte);
    }
    return row;
}

}  // namespace

uint32_t expectedRowBytes(const ExpectedPage& page) {
    switch (page.imageType) {
        case 0:
            return (page.width + 7) / 8;
        case 5:
            return 3 * page.width;
        case 6:
            return 2 * page.width;
        case 7:
            return (page.eightBit ? 3 : 6) * page.width;
        case 8:
            return (page.eightBit ? 1 : 2) * page.width;
        default:
            return page.width;
    }
}

Bytes expectedRow(const ExpectedPage& page, uint32_t line) {
    const Geometry g = geometryOf(page, line);
    if (page.imageType == 0) {
        return lineArtRow(page, g);
    }
    Bytes row;
    Bytes last;
    for (uint32_t i = 0; i < page.width; ++i) {
        if (i < g.taken || last.empty()) {
            last = pixel(page, chartX(page, std::min(i, g.taken - 1)), g.y, g.blank);
        }
        row.insert(row.end(), last.begin(), last.end());
    }
    return row;
}

}  // namespace vexscan::test
