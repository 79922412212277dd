// Writing one scanned page to an image file, row by row as the scan delivers it. Each format
// stores every layout in its own natural way (see png_writer.cpp and pnm_writer.cpp).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tools/vexscan-scan/image_layout.h"

namespace vexscan::tool {

enum class OutputFormat { Png, Pnm };

struct ImageHeader {
    PixelLayout layout = PixelLayout::Gray8;
    uint32_t width = 0;   // pixels
    uint32_t height = 0;  // rows
    uint32_t dotsPerInch = 0;
};

class ImageWriter {
public:
    virtual ~ImageWriter() = default;

    // The next row, top-down, in the library's layout; only its first packedRowBytes() bytes are
    // read, a shorter row or a row beyond the height is refused.
    bool writeRow(std::span<const uint8_t> row);
    // After the last row: completes the file. False when rows are missing or writing failed.
    bool finish();

    const std::string& error() const { return error_; }

protected:
    explicit ImageWriter(const ImageHeader& header) : header_(header) {}

    virtual bool writeFileRow(std::span<const uint8_t> row) = 0;
    virtual bool finishFile() = 0;

    const ImageHeader header_;
    std::string error_;

private:
    uint32_t rowsWritten_ = 0;
};

// The writer writes to `file` and leaves closing it to the caller. Returns nothing (and says why
// in `error`) when the header cannot be written or describes no picture.
std::unique_ptr<ImageWriter> makeImageWriter(OutputFormat format, std::FILE* file,
                                             const ImageHeader& header, std::string& error);

// ".png" gives PNG; ".pnm", ".pbm", ".pgm" and ".ppm" give PNM (any letter case).
std::optional<OutputFormat> formatFromFileName(std::string_view path);
std::optional<OutputFormat> formatFromName(std::string_view name);

}  // namespace vexscan::tool
