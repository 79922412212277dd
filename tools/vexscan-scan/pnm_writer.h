// PNM output: PBM (P4), PGM (P5) and PPM (P6), binary.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "tools/vexscan-scan/image_writer.h"

namespace vexscan::tool {

std::unique_ptr<ImageWriter> makePnmWriter(std::FILE* file, const ImageHeader& header,
                                           std::string& error);

}  // namespace vexscan::tool
