#include "tests/convert/converter_cases.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace vexscan::test {

Bytes hexBytes(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    std::string pair;
    while (in >> pair) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
    }
    return bytes;
}

std::string hexText(std::span<const std::uint8_t> bytes) {
    std::string text;
    char pair[4];
    for (std::uint8_t byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>(byte));
        if (!text.empty()) {
            text += ' ';
        }
        text += pair;
    }
    return text;
}

Bytes ascending(std::uint8_t first, std::size_t n) {
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<std::uint8_t>(first + i);
    }
    return bytes;
}

Bytes noise(std::size_t n, std::uint32_t seed) {
    Bytes bytes(n);
    std::uint32_t state = seed;
    for (auto& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

ExactBytes::ExactBytes(const Bytes& bytes) : size_(bytes.size()) {
    if (size_ > 0) {
        storage_ = std::make_unique<std::uint8_t[]>(size_);
        std::copy(bytes.begin(), bytes.end(), storage_.get());
    }
}

SourceUnderTest::SourceUnderTest(std::int32_t count, const Bytes& data, const Bytes& plane2,
                                 const Bytes& plane3)
    : data_(data), plane2_(plane2), plane3_(plane3) {
    line_.count = count;
    line_.data = data_.span();
    line_.plane2 = plane2_.span();
    line_.plane3 = plane3_.span();
}

GuardedRow::GuardedRow(std::size_t rowBytes)
    : storage_(rowBytes + kGuardBytes, kUntouched), rowBytes_(rowBytes) {}

Bytes GuardedRow::row() const {
    return {storage_.begin(), storage_.begin() + static_cast<std::ptrdiff_t>(rowBytes_)};
}

bool GuardedRow::guardIntact() const {
    return std::all_of(storage_.begin() + static_cast<std::ptrdiff_t>(rowBytes_), storage_.end(),
                       [](std::uint8_t byte) { return byte == kUntouched; });
}

Bytes rowOf(const Bytes& written, std::size_t rowBytes) {
    Bytes row = written;
    row.resize(std::max(rowBytes, written.size()), kUntouched);
    return row;
}

TEST_P(ConverterCaseTest, WritesTheTabulatedRow) {
    const ConverterCase& c = GetParam();
    const SourceUnderTest source(c.count, c.data, c.plane2, c.plane3);
    GuardedRow row(c.rowBytes);

    c.convert(source.line(), row.span());

    EXPECT_EQ(hexText(row.row()), hexText(rowOf(hexBytes(c.expected), c.rowBytes)));
    EXPECT_TRUE(row.guardIntact()) << "a byte was written past the row";
}

}  // namespace vexscan::test
