#include "tools/vexscan-scan/image_writer.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "tools/vexscan-scan/png_writer.h"
#include "tools/vexscan-scan/pnm_writer.h"

namespace vexscan::tool {
namespace {

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

}  // namespace

bool ImageWriter::writeRow(std::span<const uint8_t> row) {
    if (rowsWritten_ >= header_.height) {
        error_ = "more rows than the image's " + std::to_string(header_.height);
        return false;
    }
    const std::size_t needed = packedRowBytes(header_.layout, header_.width);
    if (row.size() < needed) {
        error_ = "a row of " + std::to_string(row.size()) + " bytes is shorter than the " +
                 std::to_string(needed) + " bytes of " + std::to_string(header_.width) + " pixels";
        return false;
    }
    if (!writeFileRow(row.first(needed))) {
        return false;
    }
    ++rowsWritten_;
    return true;
}

bool ImageWriter::finish() {
    if (rowsWritten_ != header_.height) {
        error_ = "only " + std::to_string(rowsWritten_) + " of " + std::to_string(header_.height) +
                 " rows were written";
        return false;
    }
    return finishFile();
}

std::unique_ptr<ImageWriter> makeImageWriter(OutputFormat format, std::FILE* file,
                                             const ImageHeader& header, std::string& error) {
    if (header.width == 0 || header.height == 0) {
        error = "an image of " + std::to_string(header.width) + " x " +
                std::to_string(header.height) + " pixels has nothing to write";
        return nullptr;
    }
    return format == OutputFormat::Png ? makePngWriter(file, header, error)
                                       : makePnmWriter(file, header, error);
}

std::optional<OutputFormat> formatFromFileName(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return std::nullopt;
    }
    const std::string extension = lowerCase(path.substr(dot + 1));
    if (extension == "png") {
        return OutputFormat::Png;
    }
    if (extension == "pnm" || extension == "pbm" || extension == "pgm" || extension == "ppm") {
        return OutputFormat::Pnm;
    }
    return std::nullopt;
}

std::optional<OutputFormat> formatFromName(std::string_view name) {
    const std::string lower = lowerCase(name);
    if (lower == "png") {
        return OutputFormat::Png;
    }
    if (lower == "pnm") {
        return OutputFormat::Pnm;
    }
    return std::nullopt;
}

}  // namespace vexscan::tool
