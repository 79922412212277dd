// Turning the command line into the settings of the caller's ScanParamBlock, checked against the
// capabilities the open wrote into it (sources, resolutions, zoom range, area).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tools/vexscan-scan/options.h"
#include "tools/vexscan-scan/scan_area.h"
#include "vexscan/api/vexscan.h"

namespace vexscan::tool {

struct ScanGeometry {
    int32_t dotsPerInch = 0;  // the resolution the pixels are at, zoom included
    PixelArea area;
};

// Fills the settings of `block`, which an open has filled with the device's capabilities. On a
// request the device cannot serve returns nothing and says why in `error`; `note` receives what
// the user should know about an adjusted request.
std::optional<ScanGeometry> applyScanSettings(const Options& options, ScanParamBlock& block,
                                              std::string& error, std::string& note);

}  // namespace vexscan::tool
