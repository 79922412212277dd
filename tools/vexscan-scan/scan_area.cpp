#include "tools/vexscan-scan/scan_area.h"

#include <cmath>
#include <cstdio>

namespace vexscan::tool {
namespace {

constexpr double kMillimetresPerInch = 25.4;

std::string millimetres(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

double hundredthsToMillimetres(int32_t hundredths) {
    return hundredths * kMillimetresPerInch / 100.0;
}

int64_t toPixels(double millimetres, int32_t dotsPerInch) {
    return std::llround(millimetres * dotsPerInch / kMillimetresPerInch);
}

struct AxisNames {
    const char* edge;    // "left"
    const char* length;  // "width"
    const char* extent;  // "wide"
};

// One axis: the offset and length in pixels, within the device's extent.
bool fitAxis(const AxisNames& names, std::optional<double> start, std::optional<double> length,
             int32_t deviceHundredths, int32_t dotsPerInch, int32_t& offset, int32_t& size,
             bool& clipped, std::string& error) {
    const int64_t full = int64_t{deviceHundredths} * dotsPerInch / 100;
    const int64_t first = toPixels(start.value_or(0), dotsPerInch);
    if (first >= full) {
        error = std::string("the scan area's ") + names.edge + " edge (" +
                millimetres(start.value_or(0)) + " mm) lies outside the scanner's area, which is " +
                millimetres(hundredthsToMillimetres(deviceHundredths)) + " mm " + names.extent;
        return false;
    }
    int64_t count = length ? toPixels(*length, dotsPerInch) : full - first;
    if (count <= 0) {
        error = std::string("the scan area's ") + names.length + " of " +
                millimetres(length.value_or(0)) + " mm is less than one pixel at " +
                std::to_string(dotsPerInch) + " dpi";
        return false;
    }
    if (first + count > full) {
        count = full - first;
        clipped = true;
    }
    offset = static_cast<int32_t>(first);
    size = static_cast<int32_t>(count);
    return true;
}

}  // namespace

std::optional<PixelArea> areaInPixels(const AreaRequest& request, int32_t deviceWidth,
                                      int32_t deviceHeight, int32_t dotsPerInch, std::string& error,
                                      std::string& note) {
    if (deviceWidth <= 0 || deviceHeight <= 0 || dotsPerInch <= 0) {
        error = "the scanner reports no scan area for this source";
        return std::nullopt;
    }
    PixelArea area;
    bool clipped = false;
    if (!fitAxis({"left", "width", "wide"}, request.left, request.width, deviceWidth, dotsPerInch,
                 area.left, area.width, clipped, error) ||
        !fitAxis({"top", "height", "high"}, request.top, request.height, deviceHeight, dotsPerInch,
                 area.top, area.height, clipped, error)) {
        return std::nullopt;
    }
    if (clipped) {
        note = "the scan area was clipped to the scanner's " +
               millimetres(hundredthsToMillimetres(deviceWidth)) + " x " +
               millimetres(hundredthsToMillimetres(deviceHeight)) + " mm";
    }
    return area;
}

}  // namespace vexscan::tool
