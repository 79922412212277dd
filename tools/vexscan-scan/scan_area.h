// The scan area: millimetres on the command line, hundredths of an inch from the device, pixels
// at the scan's resolution for the library.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vexscan::tool {

struct AreaRequest {  // millimetres; what is missing extends to the edge of the device's area
    std::optional<double> left;
    std::optional<double> top;
    std::optional<double> width;
    std::optional<double> height;
};

struct PixelArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// `deviceWidth` and `deviceHeight` are the source's size in hundredths of an inch. An area that
// reaches past the device's is clipped to it (and `note` says so); one that starts outside it or
// holds no pixel is refused.
std::optional<PixelArea> areaInPixels(const AreaRequest& request, int32_t deviceWidth,
                                      int32_t deviceHeight, int32_t dotsPerInch, std::string& error,
                                      std::string& note);

}  // namespace vexscan::tool
