#include "tools/vexscan-scan/scan_settings.h"

#include <algorithm>
#include <set>

namespace vexscan::tool {
namespace {

constexpr int32_t kOptionFeeder = 0;
constexpr int32_t kOptionFilm = 1;
constexpr int16_t kThresholdNotSet = -1;
constexpr int16_t kLinearGamma = 100;  // gamma 1.0: the device's samples as they are
constexpr int32_t kResolutionListSize = 32;

std::string attachedOption(int32_t optionKind) {
    switch (optionKind) {
        case kOptionFeeder:
            return "a document feeder (--source feeder)";
        case kOptionFilm:
            return "a film adapter (--source film)";
        default:
            return "nothing attached: it scans from the flatbed only";
    }
}

// Picks the source and returns its size in hundredths of an inch.
bool selectSource(ScanSource source, ScanParamBlock& block, int32_t& width, int32_t& height,
                  std::string& error) {
    const int32_t optionKind = block.optionKind;
    if (source == ScanSource::Flatbed) {
        block.useOption = 0;
        width = block.bedWidth;
        height = block.bedHeight;
        return true;
    }
    const bool feeder = source == ScanSource::Feeder;
    if (optionKind != (feeder ? kOptionFeeder : kOptionFilm)) {
        error = std::string("the scanner has no ") + (feeder ? "document feeder" : "film adapter") +
                "; it has " + attachedOption(optionKind);
        return false;
    }
    block.useOption = 1;
    width = block.optionWidth;
    height = block.optionHeight;
    return true;
}

bool checkResolution(int32_t resolution, const ScanParamBlock& block, std::string& error) {
    const int32_t listed = block.resolutionCount;  // a copy: the packed field takes no reference
    const int32_t count = std::clamp<int32_t>(listed, 0, kResolutionListSize);
    std::set<int32_t> offered;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t entry = block.resolutionList[i];
        if (entry > 0) offered.insert(entry);
    }
    if (offered.empty() || resolution <= *offered.rbegin()) {
        return true;
    }
    std::string list;
    for (const int32_t entry : offered) {
        list += (list.empty() ? "" : ", ") + std::to_string(entry);
    }
    error = "the scanner scans at most " + std::to_string(*offered.rbegin()) + " dpi (it offers " +
            list + "), not " + std::to_string(resolution);
    return false;
}

bool checkZoom(int32_t zoom, const ScanParamBlock& block, std::string& error) {
    const int32_t lowest = block.zoomMin;
    const int32_t highest = block.zoomMax;
    if (block.zoomSupported != 1) {
        if (zoom == 100) return true;
        error = "the scanner does not zoom";
        return false;
    }
    if (zoom < lowest || zoom > highest) {
        error = "the scanner zooms from " + std::to_string(lowest) + " to " +
                std::to_string(highest) + " percent, not " + std::to_string(zoom);
        return false;
    }
    return true;
}

}  // namespace

std::optional<ScanGeometry> applyScanSettings(const Options& options, ScanParamBlock& block,
                                              std::string& error, std::string& note) {
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0;
    if (!selectSource(options.source, block, sourceWidth, sourceHeight, error) ||
        !checkResolution(options.resolution, block, error) ||
        !checkZoom(options.zoom, block, error)) {
        return std::nullopt;
    }
    ScanGeometry geometry;
    // The device scans at the resolution times the zoom; the area is counted in its pixels.
    geometry.dotsPerInch = options.resolution * options.zoom / 100;
    const AreaRequest request{options.left, options.top, options.width, options.height};
    const auto area =
        areaInPixels(request, sourceWidth, sourceHeight, geometry.dotsPerInch, error, note);
    if (!area) {
        return std::nullopt;
    }
    geometry.area = *area;

    block.imageType = options.mode.imageType;
    block.resolutionX = options.resolution;
    block.resolutionY = options.resolution;
    block.zoomX = options.zoom;
    block.zoomY = options.zoom;
    block.areaLeft = area->left;
    block.areaTop = area->top;
    block.areaWidth = area->width;
    block.areaHeight = area->height;
    block.threshold = options.threshold.value_or(kThresholdNotSet);
    block.mirror = options.mirror ? 1 : 0;
    // Line art keeps the library's bits (set = dark); the writers store them as each format wants.
    block.invertLineArt = 0;
    block.eightBitOutput = 0;
    block.gammaValue = kLinearGamma;
    block.userGammaEnabled = 0;
    block.colorMatrixEnabled = 0;
    block.monoChannelSelect = 0;
    block.hostWindow = 0;
    return geometry;
}

}  // namespace vexscan::tool
