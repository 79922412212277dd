#include "sim/model/extended_scan_image.h"

#include "sim/model/test_chart.h"

namespace vexscan::sim {
namespace {

constexpr uint8_t kColorDeviceOrder = 19;  // red, green, blue
constexpr uint8_t kColorSwapped = 35;      // blue, green, red
constexpr uint8_t kMonoRed = 0x10;
constexpr uint8_t kMonoGreen = 0x20;
constexpr uint8_t kMonoBlue = 0x30;

enum class Packing { LineArt, PackedTwelveBitColor, Bytes, Words };

struct LineFormat {
    Packing packing;
    bool color;
    unsigned bits;  // significant bits of each sample
};

LineFormat lineFormatOf(const ExtendedScanParameters& p) {
    const bool color = p.colorCode == kColorDeviceOrder || p.colorCode == kColorSwapped;
    switch (p.bitsPerSample) {
        case 1:
            return {Packing::LineArt, false, 1};
        case 4:
            return {Packing::PackedTwelveBitColor, true, 4};
        case 12:
        case 16:
            return {Packing::Words, color, p.bitsPerSample};
        default:
            return {Packing::Bytes, color, 8};
    }
}

// The single channel a monochrome scan reads: the grey of the chart, or one colour alone.
ChartChannel monoChannel(uint8_t colorCode) {
    switch (colorCode) {
        case kMonoRed:
            return ChartChannel::Red;
        case kMonoGreen:
            return ChartChannel::Green;
        case kMonoBlue:
            return ChartChannel::Blue;
        default:
            return ChartChannel::Gray;
    }
}

// The top `bits` of the sample, left where they are in 16 bits.
uint16_t wideSample(uint32_t x, uint32_t y, ChartChannel channel, unsigned bits) {
    const unsigned dropped = 16u - bits;
    return static_cast<uint16_t>(chartSample(x, y, channel) >> dropped << dropped);
}

void putSample(std::vector<uint8_t>& out, const LineFormat& format, uint32_t x, uint32_t y,
               ChartChannel channel) {
    if (format.packing == Packing::Words) {
        const uint16_t sample = wideSample(x, y, channel, format.bits);
        out.push_back(static_cast<uint8_t>(sample & 0xFF));
        out.push_back(static_cast<uint8_t>(sample >> 8));
    } else {
        out.push_back(static_cast<uint8_t>(chartLevel(x, y, channel, 8)));
    }
}

}  // namespace

uint64_t extendedLineBytes(const ExtendedScanParameters& p) {
    const LineFormat format = lineFormatOf(p);
    const uint64_t width = p.width;
    const uint64_t channels = format.color ? 3 : 1;
    switch (format.packing) {
        case Packing::LineArt:
            return (width + 7) / 8;
        case Packing::PackedTwelveBitColor:
            return (width + 1) / 2 * 3;
        case Packing::Words:
            return width * channels * 2;
        case Packing::Bytes:
        default:
            return width * channels;
    }
}

void appendExtendedLine(const ExtendedScanParameters& p, uint32_t line, std::vector<uint8_t>& out) {
    const LineFormat format = lineFormatOf(p);
    const uint32_t y = p.top + line;
    const auto xOf = [&p](uint32_t i) {
        return p.mirror != 0 ? p.left + p.width - 1 - i : p.left + i;
    };

    if (format.packing == Packing::LineArt) {
        // The first pixel in bit 7; a set bit is a dark dot.
        for (uint32_t i = 0; i < p.width; i += 8) {
            uint8_t byte = 0;
            for (uint32_t bit = 0; bit < 8 && i + bit < p.width; ++bit) {
                if (chartDot(xOf(i + bit), y, p.threshold)) {
                    byte = static_cast<uint8_t>(byte | (0x80u >> bit));
                }
            }
            out.push_back(byte);
        }
        return;
    }
    if (format.packing == Packing::PackedTwelveBitColor) {
        // A pixel pair in three bytes, byte k carrying channel k (red, green, blue); the first
        // pixel in the high nibbles.
        constexpr ChartChannel kChannels[] = {ChartChannel::Red, ChartChannel::Green,
                                              ChartChannel::Blue};
        for (uint32_t i = 0; i < p.width; i += 2) {
            for (ChartChannel channel : kChannels) {
                const unsigned first = chartLevel(xOf(i), y, channel, 4);
                const unsigned second = i + 1 < p.width ? chartLevel(xOf(i + 1), y, channel, 4) : 0;
                out.push_back(static_cast<uint8_t>(first << 4 | second));
            }
        }
        return;
    }
    for (uint32_t i = 0; i < p.width; ++i) {
        const uint32_t x = xOf(i);
        if (!format.color) {
            putSample(out, format, x, y, monoChannel(p.colorCode));
        } else if (p.colorCode == kColorSwapped) {
            putSample(out, format, x, y, ChartChannel::Blue);
            putSample(out, format, x, y, ChartChannel::Green);
            putSample(out, format, x, y, ChartChannel::Red);
        } else {
            putSample(out, format, x, y, ChartChannel::Red);
            putSample(out, format, x, y, ChartChannel::Green);
            putSample(out, format, x, y, ChartChannel::Blue);
        }
    }
}

}  // namespace vexscan::sim
