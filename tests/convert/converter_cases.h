// Shared by the converter tests: guarded rows, exactly sized sources, and the tabulated case that
// every converter's table is made of.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "vexscan/convert/source_line.h"

namespace vexscan::test {

using Bytes = std::vector<std::uint8_t>;
using Converter = std::function<void(const SourceLine&, std::span<std::uint8_t>)>;

// Preset of every destination byte, so bytes a converter did not write stay recognisable.
inline constexpr std::uint8_t kUntouched = 0xCC;

// Bytes from hexadecimal pairs separated by spaces: "10 11 FF".
Bytes hexBytes(const std::string& text);
// The reverse, for readable failure messages.
std::string hexText(std::span<const std::uint8_t> bytes);
// `n` bytes counting up from `first`, the source of most worked examples.
Bytes ascending(std::uint8_t first, std::size_t n);
// `n` bytes of a fixed pseudo-random sequence.
Bytes noise(std::size_t n, std::uint32_t seed);

// A heap copy of exactly the given bytes, so that the sanitizer build catches any read past it.
class ExactBytes {
public:
    explicit ExactBytes(const Bytes& bytes);
    std::span<const std::uint8_t> span() const { return {storage_.get(), size_}; }

private:
    std::unique_ptr<std::uint8_t[]> storage_;
    std::size_t size_;
};

// A source line over exact copies of its planes.
class SourceUnderTest {
public:
    SourceUnderTest(std::int32_t count, const Bytes& data, const Bytes& plane2 = {},
                    const Bytes& plane3 = {});
    const SourceLine& line() const { return line_; }

private:
    ExactBytes data_, plane2_, plane3_;
    SourceLine line_;
};

// A destination row followed by guard bytes, all preset to kUntouched: a converter sees only the
// row, and any byte it writes past it shows in the guard.
class GuardedRow {
public:
    static constexpr std::size_t kGuardBytes = 16;
    explicit GuardedRow(std::size_t rowBytes);
    std::span<std::uint8_t> span() { return {storage_.data(), rowBytes_}; }
    Bytes row() const;
    bool guardIntact() const;

private:
    Bytes storage_;
    std::size_t rowBytes_;
};

// `written` followed by untouched bytes up to `rowBytes`.
Bytes rowOf(const Bytes& written, std::size_t rowBytes);

// One row of a converter's table: the converter with its flags bound, the source, the row size,
// and the bytes the row must hold afterwards (the rest of the row untouched).
struct ConverterCase {
    std::string name;
    Converter convert;
    std::int32_t count;
    Bytes data;
    Bytes plane2;
    Bytes plane3;
    std::size_t rowBytes;
    std::string expected;  // hexadecimal, as for hexBytes

    friend void PrintTo(const ConverterCase& c, std::ostream* out) { *out << c.name; }
};

class ConverterCaseTest : public ::testing::TestWithParam<ConverterCase> {};

inline std::string caseName(const ::testing::TestParamInfo<ConverterCase>& info) {
    return info.param.name;
}

}  // namespace vexscan::test
