#include "vexscan/convert/color_converters.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "vexscan/convert/row_plan.h"

namespace vexscan {

namespace {

constexpr std::uint8_t kBlankPixel[6] = {0, 0, 0, 0, 0, 0};

// The kernels take their buffers as restrict pointers: a source line and a destination row never
// overlap, and saying so lets the compiler keep bytes in registers and vectorise without run-time
// overlap checks.
void pairsToColor12(const std::uint8_t* __restrict from, std::uint8_t* __restrict to,
                    std::size_t pairs) {
    for (std::size_t i = 0; i < pairs; ++i) {
        const std::uint8_t c0 = from[3 * i];
        const std::uint8_t c1 = from[3 * i + 1];
        const std::uint8_t c2 = from[3 * i + 2];
        to[4 * i] = static_cast<std::uint8_t>(c2 >> 4);
        to[4 * i + 1] = static_cast<std::uint8_t>((c1 & 0xF0) | (c0 >> 4));
        to[4 * i + 2] = static_cast<std::uint8_t>(c2 & 0x0F);
        to[4 * i + 3] = static_cast<std::uint8_t>((c1 << 4) | (c0 & 0x0F));
    }
}

void reverse24(const std::uint8_t* __restrict from, std::uint8_t* __restrict to,
               std::size_t pixels) {
    for (std::size_t i = 0; i < pixels; ++i) {
        to[3 * i] = from[3 * i + 2];
        to[3 * i + 1] = from[3 * i + 1];
        to[3 * i + 2] = from[3 * i];
    }
}

// Samples move as 2-byte units, which keeps their byte order and halves the moves.
void reverse48(const std::uint8_t* __restrict from, std::uint8_t* __restrict to,
               std::size_t pixels) {
    for (std::size_t i = 0; i < pixels; ++i) {
        std::memcpy(to + 6 * i, from + 6 * i + 4, 2);
        std::memcpy(to + 6 * i + 2, from + 6 * i + 2, 2);
        std::memcpy(to + 6 * i + 4, from + 6 * i, 2);
    }
}

// The second byte of samples `first`, 1 and `last` of each pixel.
template <std::size_t first, std::size_t last>
void reduce48(const std::uint8_t* __restrict from, std::uint8_t* __restrict to,
              std::size_t pixels) {
    for (std::size_t i = 0; i < pixels; ++i) {
        to[3 * i] = from[6 * i + 2 * first + 1];
        to[3 * i + 1] = from[6 * i + 3];
        to[3 * i + 2] = from[6 * i + 2 * last + 1];
    }
}

}  // namespace

void convertColor12(const SourceLine& line, std::span<std::uint8_t> dst, std::int16_t padCount) {
    // An odd last pixel still needs its whole byte triple (it sits in the high nibbles).
    const std::size_t sourcePixels = 2 * (line.data.size() / 3);
    const detail::RowPlan plan =
        detail::planPixels(line.count, padCount, false, sourcePixels, dst.size() / 2);
    const std::size_t pairs = plan.converted / 2;
    pairsToColor12(line.data.data(), dst.data(), pairs);
    if (plan.converted % 2 != 0) {
        const std::uint8_t* from = line.data.data() + 3 * pairs;
        std::uint8_t* to = dst.data() + 4 * pairs;
        to[0] = static_cast<std::uint8_t>(from[2] >> 4);
        to[1] = static_cast<std::uint8_t>((from[1] & 0xF0) | (from[0] >> 4));
    }
    detail::fillRow(dst.data(), 2, plan.converted, plan.total, kBlankPixel);
}

void convertColor24(const SourceLine& line, std::span<std::uint8_t> dst, int swapOrder,
                    std::int16_t padCount) {
    const detail::RowPlan plan =
        detail::planPixels(line.count, padCount, false, line.data.size() / 3, dst.size() / 3);
    if (swapOrder != 0) {
        reverse24(line.data.data(), dst.data(), plan.converted);
    } else {
        detail::copyBytes(dst.data(), line.data.data(), 3 * plan.converted);
    }
    detail::fillRow(dst.data(), 3, plan.converted, plan.total, kBlankPixel);
}

void convertColor48(const SourceLine& line, std::span<std::uint8_t> dst, int swapOrder,
                    std::int16_t padCount, std::int32_t eightBit) {
    const std::size_t pixelBytes = eightBit != 0 ? 3 : 6;
    const detail::RowPlan plan = detail::planPixels(line.count, padCount, false,
                                                    line.data.size() / 6, dst.size() / pixelBytes);
    const std::uint8_t* from = line.data.data();
    std::uint8_t* to = dst.data();
    if (eightBit != 0) {
        if (swapOrder != 0) {
            reduce48<2, 0>(from, to, plan.converted);
        } else {
            reduce48<0, 2>(from, to, plan.converted);
        }
    } else if (swapOrder != 0) {
        reverse48(from, to, plan.converted);
    } else {
        detail::copyBytes(to, from, 6 * plan.converted);
    }
    detail::fillRow(to, pixelBytes, plan.converted, plan.total, kBlankPixel);
}

void copyBlockLine(const SourceLine& line, std::span<std::uint8_t> dst) {
    detail::copyBytes(dst.data(), line.data.data(), std::min(line.data.size(), dst.size()));
}

}  // namespace vexscan
