#include "vexscan/extended/extended_row_fit.h"

#include <algorithm>

namespace vexscan {

ExtendedRowFit fitDeviceLineToRow(const ExtendedImageFormat& format, uint32_t scanWidth,
                                  uint32_t deviceWidth) {
    const uint32_t width = std::min(scanWidth, kExtendedMaximumWidth);
    const uint32_t taken = std::min(width, deviceWidth);
    ExtendedRowFit fit{};
    fit.devicePixels = taken;
    fit.padCount = static_cast<int16_t>(width - taken);
    // Line art counts bytes: the device's whole bytes up to the scan width. Where pixels are
    // missing the device width is a multiple of 8, so the fill bytes complete the row exactly.
    fit.count =
        format.imageKind == 0 ? static_cast<int32_t>((taken + 7) / 8) : static_cast<int32_t>(width);
    const uint32_t perUnit = format.pixelsPerUnit != 0 ? format.pixelsPerUnit : 1;
    fit.rowBytes = (width + perUnit - 1) / perUnit * format.bytesPerUnit;
    return fit;
}

}  // namespace vexscan
