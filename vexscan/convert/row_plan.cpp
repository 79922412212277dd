#include "vexscan/convert/row_plan.h"

#include <algorithm>

namespace vexscan::detail {

RowPlan planRow(std::size_t wanted, std::size_t toConvert, std::size_t skip,
                std::size_t sourceUnits, std::size_t rowUnits) {
    RowPlan plan;
    plan.skip = skip;
    plan.total = std::min(wanted, rowUnits);
    const std::size_t available = sourceUnits > skip ? sourceUnits - skip : 0;
    plan.converted = std::min({toConvert, plan.total, available});
    return plan;
}

RowPlan planPixels(std::int32_t count, std::int16_t padCount, bool skipPad,
                   std::size_t sourcePixels, std::size_t rowPixels) {
    const std::size_t pixels = nonNegative(count);
    const std::size_t pad = padMagnitude(padCount);
    if (skipPad) {
        return planRow(pixels, pixels, pad, sourcePixels, rowPixels);
    }
    return planRow(pixels, pixels > pad ? pixels - pad : 0, 0, sourcePixels, rowPixels);
}

RowPlan planNibbles(std::int32_t count, std::int16_t padCount, std::size_t sourceBytes,
                    std::size_t rowBytes) {
    const std::size_t pixels = nonNegative(count);
    const std::size_t pad = padMagnitude(padCount);
    const std::size_t convertedPixels = pixels > pad ? pixels - pad : 0;
    // Rounding the row up, not the two parts apart, keeps an odd n with an odd pad to
    // (count + 1) / 2 bytes.
    return planRow((pixels + 1) / 2, (convertedPixels + 1) / 2, 0, sourceBytes, rowBytes);
}

void fillRow(std::uint8_t* row, std::size_t pixelBytes, std::size_t converted, std::size_t total,
             const std::uint8_t* blank) {
    if (converted >= total) {
        return;
    }
    std::size_t start = converted;
    if (start == 0) {
        std::memcpy(row, blank, pixelBytes);
        start = 1;
    }
    std::uint8_t* pattern = row + (start - 1) * pixelBytes;
    std::size_t remaining = (total - start) * pixelBytes;
    if (pixelBytes == 1) {
        std::memset(pattern + 1, *pattern, remaining);
        return;
    }
    // Everything from `pattern` on repeats the pixel, so each copy may take all that is written
    // so far: a handful of block copies instead of one per pixel.
    std::uint8_t* out = pattern + pixelBytes;
    while (remaining > 0) {
        const std::size_t chunk = std::min(static_cast<std::size_t>(out - pattern), remaining);
        std::memcpy(out, pattern, chunk);
        out += chunk;
        remaining -= chunk;
    }
}

}  // namespace vexscan::detail
