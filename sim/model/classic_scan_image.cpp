#include "sim/model/classic_scan_image.h"

#include "sim/model/test_chart.h"

namespace vexscan::sim {
namespace {

constexpr uint8_t kInterleavedColor = 0x13;
constexpr uint8_t kSixteenBitCode = 12;  // ESC D value that asks for 16-bit samples

enum class Packing { Dots, Nibbles, Bytes, Words, ColorNibbles, ColorBytes, ColorWords,
                     PlaneBits, PlaneLevels };

bool planes(uint8_t colorCode) { return colorCode == 1 || colorCode == 2; }

Packing packingOf(const ProgrammedScan& scan) {
    const uint8_t color = scan.colorCode.value_or(0);
    const uint8_t bits = scan.bits.value_or(8);
    if (color == kInterleavedColor) {
        return bits == 4 ? Packing::ColorNibbles
               : bits == kSixteenBitCode ? Packing::ColorWords
                                         : Packing::ColorBytes;
    }
    if (planes(color)) {
        return bits == 1 ? Packing::PlaneBits : Packing::PlaneLevels;
    }
    switch (bits) {
        case 1:
            return Packing::Dots;
        case 4:
            return Packing::Nibbles;
        case kSixteenBitCode:
            return Packing::Words;
        default:
            return Packing::Bytes;
    }
}

// A drop-out colour code scans grey from one channel only.
ChartChannel monoChannel(uint8_t colorCode) {
    switch (colorCode) {
        case 0x10:
            return ChartChannel::Red;
        case 0x20:
            return ChartChannel::Green;
        case 0x30:
            return ChartChannel::Blue;
        default:
            return ChartChannel::Gray;
    }
}

uint32_t lineBytesOf(Packing packing, uint32_t width) {
    switch (packing) {
        case Packing::Dots:
        case Packing::PlaneBits:
            return (width + 7) / 8;
        case Packing::Nibbles:
        case Packing::PlaneLevels:
            return (width + 1) / 2;
        case Packing::Bytes:
            return width;
        case Packing::Words:
            return width * 2;
        case Packing::ColorNibbles:
            return (width + 1) / 2 * 3;
        case Packing::ColorBytes:
            return width * 3;
        case Packing::ColorWords:
            return width * 6;
    }
    return width;
}

void putSample(std::vector<uint8_t>& line, uint16_t sample) {
    line.push_back(static_cast<uint8_t>(sample & 0xFF));  // low byte first
    line.push_back(static_cast<uint8_t>(sample >> 8));
}

}  // namespace

ClassicLineLayout classicLineLayout(const ProgrammedScan& scan) {
    ClassicLineLayout layout;
    layout.width = scan.areaWidth.value_or(0);
    layout.height = scan.areaHeight.value_or(0);
    const Packing packing = packingOf(scan);
    layout.lineBytes = lineBytesOf(packing, layout.width);
    layout.linesPerRow =
        packing == Packing::PlaneBits || packing == Packing::PlaneLevels ? 3 : 1;
    return layout;
}

std::vector<uint8_t> classicDeviceLine(const ProgrammedScan& scan, uint32_t index) {
    const ClassicLineLayout layout = classicLineLayout(scan);
    const Packing packing = packingOf(scan);
    const uint32_t row = index / layout.linesPerRow;
    const auto plane = static_cast<ChartChannel>(index % layout.linesPerRow);
    const uint32_t left = scan.areaLeft.value_or(0);
    const uint32_t y = scan.areaTop.value_or(0) + row;
    const bool mirrored = scan.mirror.value_or(0) != 0;
    const uint8_t threshold = scan.threshold.value_or(0);
    const ChartChannel mono = monoChannel(scan.colorCode.value_or(0));
    // A mirroring device sends each line from its right end.
    const auto xOf = [&](uint32_t i) { return left + (mirrored ? layout.width - 1 - i : i); };

    std::vector<uint8_t> line;
    line.reserve(layout.lineBytes);
    const uint32_t width = layout.width;
    switch (packing) {
        case Packing::Dots:
        case Packing::PlaneBits:
            for (uint32_t i = 0; i < width; i += 8) {
                uint8_t byte = 0;
                for (uint32_t k = 0; k < 8 && i + k < width; ++k) {
                    const bool set = packing == Packing::Dots
                                         ? chartDot(xOf(i + k), y, threshold)
                                         : chartLevel(xOf(i + k), y, plane, 1) != 0;
                    byte = static_cast<uint8_t>(byte | (set ? 0x80u >> k : 0u));
                }
                line.push_back(byte);
            }
            break;
        case Packing::Nibbles:
        case Packing::PlaneLevels:
            for (uint32_t i = 0; i < width; i += 2) {
                // Three-bit plane levels sit in the top of their nibble.
                const auto nibble = [&](uint32_t at) -> unsigned {
                    if (at >= width) return 0;
                    return packing == Packing::Nibbles ? chartLevel(xOf(at), y, mono, 4)
                                                       : chartLevel(xOf(at), y, plane, 3) << 1;
                };
                line.push_back(static_cast<uint8_t>(nibble(i) << 4 | nibble(i + 1)));
            }
            break;
        case Packing::Bytes:
            for (uint32_t i = 0; i < width; ++i) {
                line.push_back(static_cast<uint8_t>(chartLevel(xOf(i), y, mono, 8)));
            }
            break;
        case Packing::Words:
            for (uint32_t i = 0; i < width; ++i) {
                putSample(line, chartSample(xOf(i), y, mono));
            }
            break;
        case Packing::ColorNibbles:
            for (uint32_t i = 0; i < width; i += 2) {
                for (int channel = 0; channel < 3; ++channel) {
                    const auto c = static_cast<ChartChannel>(channel);
                    const unsigned second = i + 1 < width ? chartLevel(xOf(i + 1), y, c, 4) : 0;
                    line.push_back(
                        static_cast<uint8_t>(chartLevel(xOf(i), y, c, 4) << 4 | second));
                }
            }
            break;
        case Packing::ColorBytes:
            for (uint32_t i = 0; i < width; ++i) {
                for (int channel = 0; channel < 3; ++channel) {
                    line.push_back(static_cast<uint8_t>(
                        chartLevel(xOf(i), y, static_cast<ChartChannel>(channel), 8)));
                }
            }
            break;
        case Packing::ColorWords:
            for (uint32_t i = 0; i < width; ++i) {
                for (int channel = 0; channel < 3; ++channel) {
                    putSample(line, chartSample(xOf(i), y, static_cast<ChartChannel>(channel)));
                }
            }
            break;
    }
    return line;
}

}  // namespace vexscan::sim
