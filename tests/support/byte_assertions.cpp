#include "tests/support/byte_assertions.h"

#include <algorithm>

namespace vexscan::test {

std::string hex(const Bytes& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i != 0) text += ' ';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

::testing::AssertionResult bytesEqual(const Bytes& expected, const Bytes& actual) {
    if (expected == actual) {
        return ::testing::AssertionSuccess();
    }
    const auto mismatch = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    const auto at = static_cast<std::size_t>(mismatch.first - expected.begin());
    auto failure = ::testing::AssertionFailure();
    failure << "byte sequences differ at offset " << at;
    if (at < expected.size() && at < actual.size()) {
        failure << " (expected " << hex({expected[at]}) << ", got " << hex({actual[at]}) << ")";
    } else {
        failure << " (lengths " << expected.size() << " expected, " << actual.size() << " actual)";
    }
    return failure << "\n  expected: " << hex(expected) << "\n  actual:   " << hex(actual);
}

Bytes join(std::initializer_list<Bytes> groups) {
    Bytes bytes;
    for (const Bytes& group : groups) bytes.insert(bytes.end(), group.begin(), group.end());
    return bytes;
}

}  // namespace vexscan::test
