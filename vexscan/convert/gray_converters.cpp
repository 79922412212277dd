#include "vexscan/convert/gray_converters.h"

#include <algorithm>
#include <cstddef>

#include "vexscan/convert/reduction_tables.h"
#include "vexscan/convert/row_plan.h"

namespace vexscan {

namespace {

constexpr std::uint8_t kBlankPixel[2] = {0, 0};

// The mirrored-line skip applies only to a mirror flag of exactly 1 and a positive pad count.
bool skipsPad(std::int16_t padCount, int mirror) { return mirror == 1 && padCount > 0; }

// Source and destination never overlap; restrict lets the compiler vectorise without checking.
void xorBytes(const std::uint8_t* __restrict from, std::uint8_t* __restrict to, std::size_t bytes,
              std::uint8_t mask) {
    for (std::size_t i = 0; i < bytes; ++i) {
        to[i] = static_cast<std::uint8_t>(from[i] ^ mask);
    }
}

void mapBytes(const std::uint8_t* __restrict from, std::uint8_t* __restrict to, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) {
        to[i] = grayReductionMap[from[i]];
    }
}

}  // namespace

void convertLineArt(const SourceLine& line, std::span<std::uint8_t> dst, std::int16_t padCount,
                    std::uint8_t invert) {
    // A negative byte count is no line at all, so it gets no fill either.
    const std::size_t bytes = detail::nonNegative(line.count);
    const std::size_t fill =
        padCount > 0 && line.count >= 0 ? (static_cast<std::size_t>(padCount) + 7) / 8 : 0;
    const detail::RowPlan plan =
        detail::planRow(bytes + fill, bytes, 0, line.data.size(), dst.size());

    // One mask for the whole line keeps the loop free of branches.
    const std::uint8_t mask = invert != 0 ? 0xFF : 0x00;
    xorBytes(line.data.data(), dst.data(), plan.converted, mask);
    detail::fillRow(dst.data(), 1, plan.converted, plan.total, &mask);
}

void convertGray4(const SourceLine& line, std::span<std::uint8_t> dst, std::int16_t padCount) {
    const detail::RowPlan plan =
        detail::planNibbles(line.count, padCount, line.data.size(), dst.size());
    detail::copyBytes(dst.data(), line.data.data(), plan.converted);
    detail::fillRow(dst.data(), 1, plan.converted, plan.total, kBlankPixel);
}

void convertGray8(const SourceLine& line, std::span<std::uint8_t> dst, std::int16_t padCount,
                  int mirror) {
    const detail::RowPlan plan = detail::planPixels(
        line.count, padCount, skipsPad(padCount, mirror), line.data.size(), dst.size());
    if (plan.converted > 0) {
        detail::copyBytes(dst.data(), line.data.data() + plan.skip, plan.converted);
    }
    detail::fillRow(dst.data(), 1, plan.converted, plan.total, kBlankPixel);
}

void convertGrayMapped(const SourceLine& line, std::span<std::uint8_t> dst, std::int16_t padCount) {
    const detail::RowPlan plan =
        detail::planPixels(line.count, padCount, false, line.data.size(), dst.size());
    mapBytes(line.data.data(), dst.data(), plan.converted);
    detail::fillRow(dst.data(), 1, plan.converted, plan.total, &grayReductionMap[0]);
}

void convertGray16(const SourceLine& line, std::span<std::uint8_t> dst, std::int16_t padCount,
                   int mirror) {
    const detail::RowPlan plan = detail::planPixels(
        line.count, padCount, skipsPad(padCount, mirror), line.data.size() / 2, dst.size() / 2);
    if (plan.converted > 0) {
        detail::copyBytes(dst.data(), line.data.data() + 2 * plan.skip, 2 * plan.converted);
    }
    detail::fillRow(dst.data(), 2, plan.converted, plan.total, kBlankPixel);
}

void convertGray16To8(const SourceLine& line, std::span<std::uint8_t> dst, std::int16_t padCount,
                      int mirror) {
    const detail::RowPlan plan = detail::planPixels(
        line.count, padCount, skipsPad(padCount, mirror), line.data.size() / 2, dst.size());
    const std::uint8_t* const high = line.data.data() + 2 * plan.skip + 1;
    for (std::size_t i = 0; i < plan.converted; ++i) {
        dst[i] = high[2 * i];
    }
    detail::fillRow(dst.data(), 1, plan.converted, plan.total, kBlankPixel);
}

}  // namespace vexscan
