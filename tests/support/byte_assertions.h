// Byte-sequence comparison that, on a mismatch, names the first differing byte and prints both
// sequences in hex.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace vexscan::test {

using Bytes = std::vector<uint8_t>;

std::string hex(const Bytes& bytes);

::testing::AssertionResult bytesEqual(const Bytes& expected, const Bytes& actual);

// Concatenates byte groups: join({{0x1B, 0x40}, {0x1B, 0x49}}).
Bytes join(std::initializer_list<Bytes> groups);

}  // namespace vexscan::test
