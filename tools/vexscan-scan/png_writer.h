// PNG output through libpng.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "tools/vexscan-scan/image_writer.h"

namespace vexscan::tool {

std::unique_ptr<ImageWriter> makePngWriter(std::FILE* file, const ImageHeader& header,
                                           std::string& error);

}  // namespace vexscan::tool
