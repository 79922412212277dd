// Worked examples of the line art and grey converters, one table per converter.
#include "vexscan/convert/gray_converters.h"

#include "tests/convert/converter_cases.h"

namespace vexscan::test {
namespace {

Converter lineArt(std::int16_t padCount, std::uint8_t invert) {
    return [=](const SourceLine& line, std::span<std::uint8_t> dst) {
        convertLineArt(line, dst, padCount, invert);
    };
}

Converter gray4(std::int16_t padCount) {
    return [=](const SourceLine& line, std::span<std::uint8_t> dst) {
        convertGray4(line, dst, padCount);
    };
}

Converter gray8(std::int16_t padCount, int mirror) {
    return [=](const SourceLine& line, std::span<std::uint8_t> dst) {
        convertGray8(line, dst, padCount, mirror);
    };
}

Converter grayMapped(std::int16_t padCount) {
    return [=](const SourceLine& line, std::span<std::uint8_t> dst) {
        convertGrayMapped(line, dst, padCount);
    };
}

Converter gray16(std::int16_t padCount, int mirror) {
    return [=](const SourceLine& line, std::span<std::uint8_t> dst) {
        convertGray16(line, dst, padCount, mirror);
    };
}

Converter gray16To8(std::int16_t padCount, int mirror) {
    return [=](const SourceLine& line, std::span<std::uint8_t> dst) {
        convertGray16To8(line, dst, padCount, mirror);
    };
}

INSTANTIATE_TEST_SUITE_P(
    LineArt, ConverterCaseTest,
    ::testing::Values(
        ConverterCase{"InvertedWithFill",
                      lineArt(1, 1),
                      5,
                      ascending(0x10, 5),
                      {},
                      {},
                      8,
                      "EF EE ED EC EB EB"},
        ConverterCase{
            "PlainWithFill", lineArt(1, 0), 5, ascending(0x10, 5), {}, {}, 8, "10 11 12 13 14 14"},
        ConverterCase{"FillRoundsPadUpToBytes",
                      lineArt(9, 0),
                      2,
                      ascending(0x10, 2),
                      {},
                      {},
                      8,
                      "10 11 11 11"},
        ConverterCase{
            "NoPadNoFill", lineArt(0, 0), 5, ascending(0x10, 5), {}, {}, 8, "10 11 12 13 14"},
        ConverterCase{
            "NegativePadNoFill", lineArt(-9, 1), 3, ascending(0x10, 3), {}, {}, 8, "EF EE ED"},
        // A byte count that is a multiple of 8 gets no fill of its own: a full row stays full.
        ConverterCase{"MultipleOfEightFillsRow",
                      lineArt(0, 0),
                      8,
                      ascending(0x10, 8),
                      {},
                      {},
                      8,
                      "10 11 12 13 14 15 16 17"},
        ConverterCase{"MultipleOfEightWithPad",
                      lineArt(16, 0),
                      8,
                      ascending(0x10, 8),
                      {},
                      {},
                      12,
                      "10 11 12 13 14 15 16 17 17 17"},
        ConverterCase{"FillClippedAtRowEnd",
                      lineArt(24, 1),
                      5,
                      ascending(0x10, 5),
                      {},
                      {},
                      7,
                      "EF EE ED EC EB EB EB"},
        ConverterCase{"NoByteFillsBlank", lineArt(9, 0), 0, {}, {}, {}, 4, "00 00"},
        ConverterCase{"NoByteFillsInvertedBlank", lineArt(9, 1), 0, {}, {}, {}, 4, "FF FF"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Gray4, ConverterCaseTest,
    ::testing::Values(
        ConverterCase{"Fill", gray4(2), 10, ascending(0x10, 5), {}, {}, 8, "10 11 12 13 13"},
        ConverterCase{
            "OddCountNoPad", gray4(0), 9, ascending(0x10, 5), {}, {}, 8, "10 11 12 13 14"},
        ConverterCase{
            "OddCountEvenPad", gray4(2), 9, ascending(0x10, 4), {}, {}, 8, "10 11 12 13 13"},
        // Odd n with odd pad: the row still ends at (count + 1) / 2 bytes.
        ConverterCase{
            "OddConvertedOddPad", gray4(3), 10, ascending(0x10, 4), {}, {}, 8, "10 11 12 13 13"},
        ConverterCase{"NegativePadIsMagnitude",
                      gray4(-2),
                      10,
                      ascending(0x10, 5),
                      {},
                      {},
                      8,
                      "10 11 12 13 13"},
        ConverterCase{
            "FillClippedAtRowEnd", gray4(8), 10, ascending(0x10, 1), {}, {}, 3, "10 10 10"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Gray8, ConverterCaseTest,
    ::testing::Values(
        ConverterCase{"PadFills",
                      gray8(3, 0),
                      10,
                      ascending(0x10, 13),
                      {},
                      {},
                      12,
                      "10 11 12 13 14 15 16 16 16 16"},
        ConverterCase{"MirrorSkipsPad",
                      gray8(3, 1),
                      10,
                      ascending(0x10, 13),
                      {},
                      {},
                      12,
                      "13 14 15 16 17 18 19 1A 1B 1C"},
        ConverterCase{"MirrorNegativePadFills",
                      gray8(-3, 1),
                      10,
                      ascending(0x10, 13),
                      {},
                      {},
                      12,
                      "10 11 12 13 14 15 16 16 16 16"},
        ConverterCase{"NegativePadFills",
                      gray8(-3, 0),
                      10,
                      ascending(0x10, 13),
                      {},
                      {},
                      12,
                      "10 11 12 13 14 15 16 16 16 16"},
        // Only a mirror flag of exactly 1 counts.
        ConverterCase{"MirrorTwoIsNoMirror",
                      gray8(3, 2),
                      10,
                      ascending(0x10, 13),
                      {},
                      {},
                      12,
                      "10 11 12 13 14 15 16 16 16 16"},
        ConverterCase{
            "MirrorZeroPad", gray8(0, 1), 4, ascending(0x10, 4), {}, {}, 4, "10 11 12 13"},
        // A mirrored line shorter than pad + count keeps what it has and fills the rest.
        ConverterCase{"MirrorShortSourceFills",
                      gray8(3, 1),
                      10,
                      ascending(0x10, 8),
                      {},
                      {},
                      10,
                      "13 14 15 16 17 17 17 17 17 17"},
        ConverterCase{"MirrorClippedAtRowEnd",
                      gray8(3, 1),
                      10,
                      ascending(0x10, 13),
                      {},
                      {},
                      6,
                      "13 14 15 16 17 18"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    GrayMapped, ConverterCaseTest,
    ::testing::Values(
        ConverterCase{"MapsThroughTable", grayMapped(0), 1, hexBytes("10"), {}, {}, 4, "0F"},
        ConverterCase{"FillRepeatsMappedByte",
                      grayMapped(1),
                      4,
                      hexBytes("00 10 FF"),
                      {},
                      {},
                      4,
                      "00 0F EA EA"},
        // No mirror handling: a pad is always filled.
        ConverterCase{"PadFills", grayMapped(2), 4, hexBytes("0B 0C"), {}, {}, 4, "0A 0B 0B 0B"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Gray16, ConverterCaseTest,
    ::testing::Values(ConverterCase{"MirrorSkipsPadPixels",
                                    gray16(1, 1),
                                    4,
                                    ascending(0x10, 10),
                                    {},
                                    {},
                                    8,
                                    "12 13 14 15 16 17 18 19"},
                      ConverterCase{"PadFillsWholePixel",
                                    gray16(1, 0),
                                    4,
                                    ascending(0x10, 10),
                                    {},
                                    {},
                                    8,
                                    "10 11 12 13 14 15 14 15"},
                      ConverterCase{"MirrorNegativePadFills",
                                    gray16(-1, 1),
                                    4,
                                    ascending(0x10, 10),
                                    {},
                                    {},
                                    8,
                                    "10 11 12 13 14 15 14 15"},
                      // A row that ends inside a pixel receives whole pixels only.
                      ConverterCase{"OddRowEndsOnWholePixel",
                                    gray16(0, 0),
                                    4,
                                    ascending(0x10, 8),
                                    {},
                                    {},
                                    5,
                                    "10 11 12 13"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Gray16To8, ConverterCaseTest,
    ::testing::Values(
        ConverterCase{"SecondByteOfEachSample", gray16To8(0, 0), 4, ascending(0x10, 8), {}, {}, 4,
                      "11 13 15 17"},
        ConverterCase{"PadRepeatsLastPixel", gray16To8(1, 0), 4, ascending(0x10, 10), {}, {}, 4,
                      "11 13 15 15"},
        ConverterCase{"MirrorSkipsPadPixels", gray16To8(1, 1), 4, ascending(0x10, 10), {}, {}, 4,
                      "13 15 17 19"},
        // The row is one byte a pixel: nothing lands beyond it.
        ConverterCase{"RowOfOneBytePixels", gray16To8(0, 0), 4, ascending(0x10, 8), {}, {}, 3,
                      "11 13 15"}),
    caseName);

}  // namespace
}  // namespace vexscan::test
