// The caller's ScanParamBlock filled with a pattern before the library runs, so that a byte it
// should not write shows: a test sets in `expected` what the library should write and compares
// the whole block.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "vexscan/api/vexscan.h"

namespace vexscan::test {

inline constexpr std::size_t kBlockSize = sizeof(ScanParamBlock);

class PatternedBlock {
public:
    ScanParamBlock* block() { return reinterpret_cast<ScanParamBlock*>(blockMemory.data()); }

    void fillPattern() {
        for (std::size_t i = 0; i < kBlockSize; ++i) {
            blockMemory[i] = static_cast<uint8_t>(i * 7 + 3);
        }
        // Feeder flags start set, so that clearing them shows.
        blockMemory[offsetof(ScanParamBlock, feederFlagA)] = 1;
        blockMemory[offsetof(ScanParamBlock, feederFlagB)] = 1;
        std::memcpy(&expected, blockMemory.data(), kBlockSize);
    }

    // The whole block equals `expected`; names the first differing offset otherwise.
    ::testing::AssertionResult blockAsExpected() const {
        const auto* want = reinterpret_cast<const uint8_t*>(&expected);
        for (std::size_t i = 0; i < kBlockSize; ++i) {
            if (want[i] != blockMemory[i]) {
                return ::testing::AssertionFailure()
                       << "block differs at offset 0x" << std::hex << i << ": expected 0x"
                       << int(want[i]) << ", found 0x" << int(blockMemory[i]);
            }
        }
        return ::testing::AssertionSuccess();
    }

protected:
    alignas(8) std::array<uint8_t, kBlockSize> blockMemory{};
    ScanParamBlock expected{};
};

}  // namespace vexscan::test
