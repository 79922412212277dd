// Properties every converter keeps whatever its layout: it never writes past the destination row,
// a short row receives a whole-unit prefix of the full one, pad 0 writes exactly `count` pixels,
// a short source is completed like a pad, and a row without any converted pixel is blank.
#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/convert/converter_cases.h"
#include "vexscan/convert/line_converters.h"

namespace vexscan::test {
namespace {

using PaddedConverter =
    std::function<void(const SourceLine&, std::span<std::uint8_t>, std::int16_t)>;

struct ConverterUnderTest {
    std::string name;
    PaddedConverter convert;
    bool planar;
    std::size_t unitBytes;  // smallest whole piece of a destination row
    std::function<std::size_t(std::size_t pixels)> sourceBytes;  // per plane
    std::function<std::size_t(std::size_t count, std::int16_t padCount)> rowBytes;

    friend void PrintTo(const ConverterUnderTest& converter, std::ostream* out) {
        *out << converter.name;
    }
};

std::size_t halfUp(std::size_t n) { return (n + 1) / 2; }

auto bytesPerPixel(std::size_t k) {
    return [k](std::size_t pixels) { return pixels * k; };
}

auto rowPerPixel(std::size_t k) {
    return [k](std::size_t count, std::int16_t) { return count * k; };
}

// Line art counts bytes and appends its fill behind them.
std::size_t lineArtRow(std::size_t count, std::int16_t padCount) {
    return count + (padCount > 0 ? (static_cast<std::size_t>(padCount) + 7) / 8 : 0);
}

std::size_t nibbleRow(std::size_t count, std::int16_t) { return halfUp(count); }

std::vector<ConverterUnderTest> allConverters() {
    const auto planeBits = [](std::size_t n) { return (n + 7) / 8; };
    const auto tripleNibbles = [](std::size_t n) { return 3 * halfUp(n); };
    return {
        {"LineArt", [](auto& l, auto d, auto p) { convertLineArt(l, d, p, 0); }, false, 1,
         bytesPerPixel(1), lineArtRow},
        {"LineArtInverted", [](auto& l, auto d, auto p) { convertLineArt(l, d, p, 1); }, false, 1,
         bytesPerPixel(1), lineArtRow},
        {"Gray4", [](auto& l, auto d, auto p) { convertGray4(l, d, p); }, false, 1, halfUp,
         nibbleRow},
        {"Gray8", [](auto& l, auto d, auto p) { convertGray8(l, d, p, 0); }, false, 1,
         bytesPerPixel(1), rowPerPixel(1)},
        {"Gray8Mirrored", [](auto& l, auto d, auto p) { convertGray8(l, d, p, 1); }, false, 1,
         bytesPerPixel(1), rowPerPixel(1)},
        {"GrayMapped", [](auto& l, auto d, auto p) { convertGrayMapped(l, d, p); }, false, 1,
         bytesPerPixel(1), rowPerPixel(1)},
        {"Gray16", [](auto& l, auto d, auto p) { convertGray16(l, d, p, 0); }, false, 2,
         bytesPerPixel(2), rowPerPixel(2)},
        {"Gray16Mirrored", [](auto& l, auto d, auto p) { convertGray16(l, d, p, 1); }, false, 2,
         bytesPerPixel(2), rowPerPixel(2)},
        {"Gray16To8", [](auto& l, auto d, auto p) { convertGray16To8(l, d, p, 0); }, false, 1,
         bytesPerPixel(2), rowPerPixel(1)},
        {"Gray16To8Mirrored", [](auto& l, auto d, auto p) { convertGray16To8(l, d, p, 1); }, false,
         1, bytesPerPixel(2), rowPerPixel(1)},
        {"Color8", [](auto& l, auto d, auto p) { convertColor8(l, d, 0, p); }, true, 1, planeBits,
         nibbleRow},
        {"Color8Swapped", [](auto& l, auto d, auto p) { convertColor8(l, d, 1, p); }, true, 1,
         planeBits, nibbleRow},
        {"Color256", [](auto& l, auto d, auto p) { convertColor256(l, d, 0, p); }, true, 1, halfUp,
         rowPerPixel(1)},
        {"Color256Swapped", [](auto& l, auto d, auto p) { convertColor256(l, d, 1, p); }, true, 1,
         halfUp, rowPerPixel(1)},
        {"Color12", [](auto& l, auto d, auto p) { convertColor12(l, d, p); }, false, 2,
         tripleNibbles, rowPerPixel(2)},
        {"Color24", [](auto& l, auto d, auto p) { convertColor24(l, d, 0, p); }, false, 3,
         bytesPerPixel(3), rowPerPixel(3)},
        {"Color24Swapped", [](auto& l, auto d, auto p) { convertColor24(l, d, 1, p); }, false, 3,
         bytesPerPixel(3), rowPerPixel(3)},
        {"Color48", [](auto& l, auto d, auto p) { convertColor48(l, d, 0, p, 0); }, false, 6,
         bytesPerPixel(6), rowPerPixel(6)},
        {"Color48Swapped", [](auto& l, auto d, auto p) { convertColor48(l, d, 1, p, 0); }, false, 6,
         bytesPerPixel(6), rowPerPixel(6)},
        {"Color48EightBit", [](auto& l, auto d, auto p) { convertColor48(l, d, 0, p, 1); }, false,
         3, bytesPerPixel(6), rowPerPixel(3)},
        {"Color48EightBitSwapped", [](auto& l, auto d, auto p) { convertColor48(l, d, 1, p, 1); },
         false, 3, bytesPerPixel(6), rowPerPixel(3)},
    };
}

// Converts a source of `sourcePixels` pixels of fixed noise into a guarded row of `rowBytes`.
class Conversion {
public:
    Conversion(const ConverterUnderTest& converter, std::int32_t count, std::size_t sourcePixels,
               std::int16_t padCount, std::size_t rowBytes)
        : row_(rowBytes) {
        const std::size_t planeBytes = converter.sourceBytes(sourcePixels);
        const Bytes none;
        const SourceUnderTest source(count, noise(planeBytes, 1),
                                     converter.planar ? noise(planeBytes, 2) : none,
                                     converter.planar ? noise(planeBytes, 3) : none);
        converter.convert(source.line(), row_.span(), padCount);
    }
    Bytes row() const { return row_.row(); }
    bool guardIntact() const { return row_.guardIntact(); }

private:
    GuardedRow row_;
};

class RowBoundsTest : public ::testing::TestWithParam<ConverterUnderTest> {};

std::string converterName(const ::testing::TestParamInfo<ConverterUnderTest>& info) {
    return info.param.name;
}

// Covers the row exactly full, the row cut inside the converted pixels, and the fill cut at the
// row's end.
TEST_P(RowBoundsTest, ShorterRowReceivesWholeUnitPrefixOfFullRow) {
    const ConverterUnderTest& converter = GetParam();
    constexpr std::int32_t kCount = 21;
    for (const std::int16_t padCount : {0, 4, 9}) {
        const std::size_t sourcePixels = kCount + static_cast<std::size_t>(padCount);
        const std::size_t fullBytes = converter.rowBytes(kCount, padCount);
        const Bytes full = Conversion(converter, kCount, sourcePixels, padCount, fullBytes).row();
        for (std::size_t rowBytes = 0; rowBytes <= fullBytes; ++rowBytes) {
            SCOPED_TRACE("padCount " + std::to_string(padCount) + ", row of " +
                         std::to_string(rowBytes) + " bytes");
            const Conversion cut(converter, kCount, sourcePixels, padCount, rowBytes);
            const std::size_t whole = rowBytes / converter.unitBytes * converter.unitBytes;
            const Bytes prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(whole));
            EXPECT_EQ(hexText(cut.row()), hexText(rowOf(prefix, rowBytes)));
            EXPECT_TRUE(cut.guardIntact()) << "a byte was written past the row";
        }
    }
}

// Line art of 16 bytes is the case whose fill byte once landed behind a full row.
TEST_P(RowBoundsTest, ZeroPadWritesExactlyCountPixels) {
    const ConverterUnderTest& converter = GetParam();
    constexpr std::size_t kSpare = 8;
    for (const std::int32_t count : {13, 16}) {
        SCOPED_TRACE("count " + std::to_string(count));
        const std::size_t pixels = static_cast<std::size_t>(count);
        const std::size_t plainBytes = converter.rowBytes(pixels, 0);
        const Conversion exact(converter, count, pixels, 0, plainBytes);
        EXPECT_TRUE(exact.guardIntact()) << "a byte was written past a row that is exactly full";

        const Conversion roomy(converter, count, pixels, 0, plainBytes + kSpare);
        EXPECT_EQ(hexText(roomy.row()), hexText(rowOf(exact.row(), plainBytes + kSpare)))
            << "bytes were written behind the converted pixels";
    }
}

// A device line shorter than the row (its spans hold only `delivered` pixels) is completed by
// repeating its last pixel, exactly like a line of `delivered` pixels padded to `count`.
TEST_P(RowBoundsTest, ShortSourceIsCompletedLikeAPad) {
    const ConverterUnderTest& converter = GetParam();
    constexpr std::int32_t kCount = 21;
    constexpr std::size_t kDelivered = 8;
    const std::size_t rowBytes = converter.rowBytes(kCount, 0);

    const Bytes delivered = Conversion(converter, static_cast<std::int32_t>(kDelivered), kDelivered,
                                       0, converter.rowBytes(kDelivered, 0))
                                .row();
    const Bytes lastUnit(delivered.end() - static_cast<std::ptrdiff_t>(converter.unitBytes),
                         delivered.end());
    Bytes expected = delivered;
    while (expected.size() < rowBytes) {
        expected.insert(expected.end(), lastUnit.begin(), lastUnit.end());
    }

    const Conversion shortSource(converter, kCount, kDelivered, 0, rowBytes);
    EXPECT_EQ(hexText(shortSource.row()), hexText(expected));
    EXPECT_TRUE(shortSource.guardIntact());
}

TEST_P(RowBoundsTest, NegativeCountWritesNothing) {
    const ConverterUnderTest& converter = GetParam();
    for (const std::int16_t padCount : {0, 3}) {
        const Conversion conversion(converter, -5, 8, padCount, 16);
        EXPECT_EQ(hexText(conversion.row()), hexText(Bytes(16, kUntouched)));
    }
}

INSTANTIATE_TEST_SUITE_P(AllConverters, RowBoundsTest, ::testing::ValuesIn(allConverters()),
                         converterName);

// With `count` not above `padCount` no pixel is converted; the fill then repeats the conversion
// of an all-zero source pixel, which is 0 in every pixel layout. (Line art counts bytes, not
// pixels, and mirrored grey drops its pad: both are tabulated with their converters.)
class BlankRowTest : public ::testing::TestWithParam<ConverterUnderTest> {};

TEST_P(BlankRowTest, RowWithoutConvertedPixelIsBlank) {
    const ConverterUnderTest& converter = GetParam();
    const std::size_t rowBytes = converter.rowBytes(4, 6);
    const Conversion conversion(converter, 4, 8, 6, rowBytes);
    EXPECT_EQ(hexText(conversion.row()), hexText(Bytes(rowBytes, 0)));
    EXPECT_TRUE(conversion.guardIntact());
}

std::vector<ConverterUnderTest> paddingConverters() {
    std::vector<ConverterUnderTest> converters = allConverters();
    std::erase_if(converters, [](const ConverterUnderTest& c) {
        return c.name.starts_with("LineArt") || c.name.ends_with("Mirrored");
    });
    return converters;
}

INSTANTIATE_TEST_SUITE_P(PaddingConverters, BlankRowTest, ::testing::ValuesIn(paddingConverters()),
                         converterName);

}  // namespace
}  // namespace vexscan::test
