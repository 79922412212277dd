#include "vexscan/convert/plane_converters.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "vexscan/convert/reduction_tables.h"
#include "vexscan/convert/row_plan.h"

namespace vexscan {

namespace {

constexpr std::uint8_t kBlankPixel = 0;

struct Planes {
    const std::uint8_t* a;
    const std::uint8_t* b;
    const std::uint8_t* c;
    std::size_t bytes;  // readable in every one of the three
};

// The planes are read only and never overlap the destination row; restrict tells the compiler
// so, which lets it keep plane bytes in registers across the row's stores.
using PlaneBytes = const std::uint8_t* __restrict;
using RowBytes = std::uint8_t* __restrict;

Planes namePlanes(const SourceLine& line, int swapOrder) {
    const std::size_t bytes = std::min({line.data.size(), line.plane2.size(), line.plane3.size()});
    if (swapOrder != 0) {
        return {line.data.data(), line.plane2.data(), line.plane3.data(), bytes};
    }
    return {line.plane3.data(), line.plane2.data(), line.data.data(), bytes};
}

// For one plane byte, its 8 bits spread over four destination bytes, the first byte in the low
// eight bits: bit 7 - 2j goes to bit 4 and bit 6 - 2j to bit 0 of byte j. Shifting A's entry by 2
// and B's by 1 then places all three planes with two ORs.
constexpr std::array<std::uint32_t, 256> makeBitSpread() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t value = 0; value < 256; ++value) {
        std::uint32_t spread = 0;
        for (std::uint32_t j = 0; j < 4; ++j) {
            const std::uint32_t first = (value >> (7 - 2 * j)) & 1;
            const std::uint32_t second = (value >> (6 - 2 * j)) & 1;
            spread |= ((first << 4) | second) << (8 * j);
        }
        table[value] = spread;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kBitSpread = makeBitSpread();

std::uint32_t color8Bytes(std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    return (kBitSpread[a] << 2) | (kBitSpread[b] << 1) | kBitSpread[c];
}

void color8Groups(PlaneBytes a, PlaneBytes b, PlaneBytes c, RowBytes to, std::size_t groups) {
    for (std::size_t i = 0; i < groups; ++i) {
        const std::uint32_t bytes = color8Bytes(a[i], b[i], c[i]);
        to[4 * i] = static_cast<std::uint8_t>(bytes);
        to[4 * i + 1] = static_cast<std::uint8_t>(bytes >> 8);
        to[4 * i + 2] = static_cast<std::uint8_t>(bytes >> 16);
        to[4 * i + 3] = static_cast<std::uint8_t>(bytes >> 24);
    }
}

std::uint8_t color256Pixel(std::uint8_t a, std::uint8_t b, std::uint8_t c, unsigned shift) {
    const unsigned index =
        (((a >> shift) & 7u) << 6) | (((b >> shift) & 7u) << 3) | ((c >> shift) & 7u);
    return colorReductionMap[index];
}

void color256Pairs(PlaneBytes a, PlaneBytes b, PlaneBytes c, RowBytes to, std::size_t pairs) {
    for (std::size_t i = 0; i < pairs; ++i) {
        to[2 * i] = color256Pixel(a[i], b[i], c[i], 5);
        to[2 * i + 1] = color256Pixel(a[i], b[i], c[i], 1);
    }
}

}  // namespace

void convertColor8(const SourceLine& line, std::span<std::uint8_t> dst, int swapOrder,
                   std::int16_t padCount) {
    const Planes planes = namePlanes(line, swapOrder);
    // Units are destination bytes; one plane byte yields four of them.
    const detail::RowPlan plan =
        detail::planNibbles(line.count, padCount, 4 * planes.bytes, dst.size());
    std::uint8_t* to = dst.data();
    const std::size_t wholeBytes = plan.converted / 4;
    color8Groups(planes.a, planes.b, planes.c, to, wholeBytes);
    // A line that ends inside a plane byte takes only the destination bytes it needs.
    if (plan.converted % 4 != 0) {
        const std::uint32_t bytes =
            color8Bytes(planes.a[wholeBytes], planes.b[wholeBytes], planes.c[wholeBytes]);
        for (std::size_t j = 0; j < plan.converted % 4; ++j) {
            to[4 * wholeBytes + j] = static_cast<std::uint8_t>(bytes >> (8 * j));
        }
    }
    detail::fillRow(to, 1, plan.converted, plan.total, &kBlankPixel);
}

void convertColor256(const SourceLine& line, std::span<std::uint8_t> dst, int swapOrder,
                     std::int16_t padCount) {
    const Planes planes = namePlanes(line, swapOrder);
    const detail::RowPlan plan =
        detail::planPixels(line.count, padCount, false, 2 * planes.bytes, dst.size());
    std::uint8_t* to = dst.data();
    const std::size_t pairs = plan.converted / 2;
    color256Pairs(planes.a, planes.b, planes.c, to, pairs);
    // Conversion stops after exactly the pixels wanted, also in the middle of a plane byte.
    if (plan.converted % 2 != 0) {
        to[2 * pairs] = color256Pixel(planes.a[pairs], planes.b[pairs], planes.c[pairs], 5);
    }
    detail::fillRow(to, 1, plan.converted, plan.total, &colorReductionMap[0]);
}

}  // namespace vexscan
