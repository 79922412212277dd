// Worked examples of the colour converters, one table per converter.
#include "vexscan/convert/color_converters.h"

#include "tests/convert/converter_cases.h"
#include "vexscan/convert/plane_converters.h"

namespace vexscan::test {
namespace {

Converter color8(int swapOrder, std::int16_t padCount) {
    return [=](const SourceLine& line, std::span<std::uint8_t> dst) {
        convertColor8(line, dst, swapOrder, padCount);
    };
}

Converter color256(int swapOrder, std::int16_t padCount) {
    return [=](const SourceLine& line, std::span<std::uint8_t> dst) {
        convertColor256(line, dst, swapOrder, padCount);
    };
}

Converter color12(std::int16_t padCount) {
    return [=](const SourceLine& line, std::span<std::uint8_t> dst) {
        convertColor12(line, dst, padCount);
    };
}

Converter color24(int swapOrder, std::int16_t padCount) {
    return [=](const SourceLine& line, std::span<std::uint8_t> dst) {
        convertColor24(line, dst, swapOrder, padCount);
    };
}

Converter color48(int swapOrder, std::int16_t padCount, std::int32_t eightBit) {
    return [=](const SourceLine& line, std::span<std::uint8_t> dst) {
        convertColor48(line, dst, swapOrder, padCount, eightBit);
    };
}

Converter blockLine() {
    return [](const SourceLine& line, std::span<std::uint8_t> dst) { copyBlockLine(line, dst); };
}

const Bytes kBit7 = hexBytes("80");
const Bytes kClear = hexBytes("00");

INSTANTIATE_TEST_SUITE_P(
    Color8, ConverterCaseTest,
    ::testing::Values(
        // The plane that carries the most significant bit depends on swapOrder.
        ConverterCase{"DataIsLowBitUnswapped", color8(0, 0), 8, kBit7, kClear, kClear, 4,
                      "10 00 00 00"},
        ConverterCase{"DataIsHighBitSwapped", color8(1, 0), 8, kBit7, kClear, kClear, 4,
                      "40 00 00 00"},
        ConverterCase{"Plane2IsMiddleBitUnswapped", color8(0, 0), 8, kClear, kBit7, kClear, 4,
                      "20 00 00 00"},
        ConverterCase{"Plane2IsMiddleBitSwapped", color8(1, 0), 8, kClear, kBit7, kClear, 4,
                      "20 00 00 00"},
        ConverterCase{"Plane3IsHighBitUnswapped", color8(0, 0), 8, kClear, kClear, kBit7, 4,
                      "40 00 00 00"},
        ConverterCase{"BitPairsFillNibbles", color8(0, 0), 8, hexBytes("FF"), kClear,
                      hexBytes("AA"), 4, "51 51 51 51"},
        ConverterCase{"BitPairsFillNibblesSwapped", color8(1, 0), 8, hexBytes("FF"), kClear,
                      hexBytes("AA"), 4, "54 54 54 54"},
        ConverterCase{"SecondPlaneByte", color8(1, 0), 12, hexBytes("00 C0"), hexBytes("00 30"),
                      hexBytes("00 0C"), 8, "00 00 00 00 44 22"},
        ConverterCase{"FillRepeatsLastByte", color8(1, 2), 10, hexBytes("00 C0"), hexBytes("00 00"),
                      hexBytes("01 00"), 8, "00 00 00 01 01"},
        ConverterCase{"StopsInsidePlaneByte", color8(1, 0), 6, hexBytes("5C"), kClear, kClear, 4,
                      "04 04 44"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Color256, ConverterCaseTest,
    ::testing::Values(ConverterCase{"AllLevelsZero", color256(1, 0), 2, kClear, kClear, kClear, 2,
                                    "00 00"},
                      ConverterCase{"AllLevelsSeven", color256(1, 0), 2, hexBytes("FF"),
                                    hexBytes("FF"), hexBytes("FF"), 2, "D7 D7"},
                      // Bit 0 of a nibble is not part of the level: E and F are both level 7.
                      ConverterCase{"NibbleBitZeroIgnored", color256(0, 0), 2, hexBytes("EF"),
                                    hexBytes("EF"), hexBytes("EF"), 2, "D7 D7"},
                      ConverterCase{"PlanesUnswapped", color256(0, 0), 2, hexBytes("20"), kClear,
                                    hexBytes("0E"), 2, "01 B4"},
                      ConverterCase{"PlanesSwapped", color256(1, 0), 2, hexBytes("20"), kClear,
                                    hexBytes("0E"), 2, "24 05"},
                      ConverterCase{"StopsInsidePlaneByte", color256(1, 0), 3, hexBytes("20 E0"),
                                    hexBytes("00 00"), hexBytes("00 0E"), 4, "24 00 B4"},
                      ConverterCase{"FillRepeatsPaletteIndex", color256(1, 1), 3, hexBytes("20 E0"),
                                    hexBytes("00 00"), hexBytes("00 0E"), 4, "24 00 00"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Color12, ConverterCaseTest,
    ::testing::Values(
        ConverterCase{
            "PairOfPixels", color12(0), 2, hexBytes("12 34 56"), {}, {}, 4, "05 31 06 42"},
        ConverterCase{"OddCountEndsOnHighNibbles",
                      color12(0),
                      3,
                      hexBytes("12 34 56 78 9A BC"),
                      {},
                      {},
                      8,
                      "05 31 06 42 0B 97"},
        ConverterCase{"FillRepeatsPixel",
                      color12(1),
                      3,
                      hexBytes("12 34 56"),
                      {},
                      {},
                      8,
                      "05 31 06 42 06 42"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Color24, ConverterCaseTest,
    ::testing::Values(
        ConverterCase{"Swapped", color24(1, 0), 1, ascending(0x10, 3), {}, {}, 4, "12 11 10"},
        ConverterCase{"Unswapped", color24(0, 0), 1, ascending(0x10, 3), {}, {}, 4, "10 11 12"},
        ConverterCase{"SwappedFill",
                      color24(1, 1),
                      3,
                      ascending(0x10, 6),
                      {},
                      {},
                      12,
                      "12 11 10 15 14 13 15 14 13"},
        ConverterCase{"FillClippedToWholePixels",
                      color24(0, 2),
                      4,
                      ascending(0x10, 6),
                      {},
                      {},
                      10,
                      "10 11 12 13 14 15 13 14 15"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Color48, ConverterCaseTest,
    ::testing::Values(
        ConverterCase{
            "EightBit", color48(0, 0, 1), 2, ascending(0x10, 12), {}, {}, 8, "11 13 15 17 19 1B"},
        ConverterCase{"EightBitSwapped",
                      color48(1, 0, 1),
                      2,
                      ascending(0x10, 12),
                      {},
                      {},
                      8,
                      "15 13 11 1B 19 17"},
        ConverterCase{"SixteenBitSwapped",
                      color48(1, 0, 0),
                      2,
                      ascending(0x10, 12),
                      {},
                      {},
                      12,
                      "14 15 12 13 10 11 1A 1B 18 19 16 17"},
        ConverterCase{"SixteenBitUnswapped",
                      color48(0, 0, 0),
                      2,
                      ascending(0x10, 12),
                      {},
                      {},
                      12,
                      "10 11 12 13 14 15 16 17 18 19 1A 1B"},
        ConverterCase{"EightBitFill",
                      color48(0, 1, 1),
                      3,
                      ascending(0x10, 12),
                      {},
                      {},
                      12,
                      "11 13 15 17 19 1B 17 19 1B"},
        ConverterCase{"SixteenBitSwappedFill",
                      color48(1, 1, 0),
                      2,
                      ascending(0x10, 6),
                      {},
                      {},
                      12,
                      "14 15 12 13 10 11 14 15 12 13 10 11"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    BlockLine, ConverterCaseTest,
    ::testing::Values(
        // The device already delivers the caller's layout: bytes as they come, count not read.
        ConverterCase{"CopiesDeviceLine",
                      blockLine(),
                      99,
                      ascending(0x10, 6),
                      {},
                      {},
                      8,
                      "10 11 12 13 14 15"},
        ConverterCase{
            "ClippedAtRowEnd", blockLine(), 2, ascending(0x10, 6), {}, {}, 4, "10 11 12 13"}),
    caseName);

}  // namespace
}  // namespace vexscan::test
