// Command-line options of vexscan-scan, in the manner of the usual scanning front ends: long
// options as "--name VALUE" or "--name=VALUE", short ones as "-x VALUE" or "-xVALUE".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/vexscan-scan/batch_pattern.h"
#include "tools/vexscan-scan/image_layout.h"
#include "tools/vexscan-scan/image_writer.h"

namespace vexscan::tool {

enum class ScanSource { Flatbed, Feeder, Film };

inline constexpr int32_t kDefaultResolution = 150;

struct Options {
    std::string device;  // a simulated profile's name or file, or "driver" for the installed driver
    bool listDevices = false;
    bool help = false;

    ScanMode mode = *findScanMode("color24");
    int32_t resolution = kDefaultResolution;  // dots per inch
    int32_t zoom = 100;                       // percent
    ScanSource source = ScanSource::Flatbed;
    std::optional<int16_t> threshold;  // line art, 0 to 255
    bool mirror = false;
    bool progress = false;

    // Scan area in millimetres; what is not given extends to the edge of the device's area.
    std::optional<double> left;
    std::optional<double> top;
    std::optional<double> width;
    std::optional<double> height;

    std::string outputFile;                   // "-" is standard output
    std::optional<BatchPattern> batch;        // one file a sheet, e.g. "page%d.png"
    OutputFormat format = OutputFormat::Png;  // given, or from the output's file name
};

// Parses argv (without the program name); on a usage fault returns nothing and says why in
// `error`.
std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error);

std::string usage(const std::string& program);

}  // namespace vexscan::tool
