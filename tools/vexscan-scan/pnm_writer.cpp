// Each layout as the nearest PNM type: line art as PBM (whose 1 is black, like the library's set
// bit, so the bits go through unchanged), 4-bit grey as PGM with maxval 15, 8- and 16-bit grey as
// PGM with maxval 255 and 65535, everything in colour as PPM: palette and 12-bit pixels widened
// to 8-bit RGB (the same values the PNG file shows), 48-bit colour with maxval 65535. PNM stores
// 16-bit samples big-endian.
#include "tools/vexscan-scan/pnm_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "tools/vexscan-scan/pixel_rows.h"

namespace vexscan::tool {
namespace {

struct PnmFormat {
    char magic;  // the digit after 'P'
    unsigned maxValue;
    std::size_t bytesPerRow;
};

PnmFormat pnmFormatOf(const ImageHeader& header) {
    const std::size_t width = header.width;
    switch (header.layout) {
        case PixelLayout::LineArt:
            return {'4', 1, (width + 7) / 8};
        case PixelLayout::Gray4:
            return {'5', 15, width};
        case PixelLayout::Gray8:
            return {'5', 255, width};
        case PixelLayout::Gray16:
            return {'5', 65535, width * 2};
        case PixelLayout::Color8:
        case PixelLayout::Color256:
        case PixelLayout::Color12:
        case PixelLayout::Color24:
            return {'6', 255, width * 3};
        case PixelLayout::Color48:
            return {'6', 65535, width * 6};
    }
    return {'5', 255, width};
}

// Two 4-bit pixels a byte, the first in the high nibble, to one byte a pixel.
void unpackNibbles(std::span<const uint8_t> source, uint32_t width, std::span<uint8_t> target) {
    const std::size_t pixels = std::min<std::size_t>({width, source.size() * 2, target.size()});
    for (std::size_t i = 0; i < pixels; ++i) {
        const uint8_t byte = source[i / 2];
        target[i] = static_cast<uint8_t>(i % 2 == 0 ? byte >> 4 : byte & 0x0F);
    }
}

class PnmWriter final : public ImageWriter {
public:
    PnmWriter(std::FILE* file, const ImageHeader& header)
        : ImageWriter(header),
          file_(file),
          format_(pnmFormatOf(header)),
          fileRow_(format_.bytesPerRow) {}

    bool start() {
        int written = 0;
        if (format_.magic == '4') {
            written = std::fprintf(file_, "P4\n%u %u\n", header_.width, header_.height);
        } else {
            written = std::fprintf(file_, "P%c\n%u %u\n%u\n", format_.magic, header_.width,
                                   header_.height, format_.maxValue);
        }
        if (written < 0) {
            error_ = writeFailure("the PNM header");
            return false;
        }
        return true;
    }

protected:
    bool writeFileRow(std::span<const uint8_t> row) override {
        std::span<const uint8_t> bytes = row;
        switch (header_.layout) {
            case PixelLayout::Gray4:
                unpackNibbles(row, header_.width, fileRow_);
                bytes = fileRow_;
                break;
            case PixelLayout::Gray16:
            case PixelLayout::Color48:
                swapSampleBytes(row, fileRow_);
                bytes = fileRow_;
                break;
            case PixelLayout::Color8:
                expandColor8(row, header_.width, fileRow_);
                bytes = fileRow_;
                break;
            case PixelLayout::Color256:
                expandColor256(row, header_.width, fileRow_);
                bytes = fileRow_;
                break;
            case PixelLayout::Color12:
                expandColor12(row, header_.width, fileRow_);
                bytes = fileRow_;
                break;
            default:
                break;  // line art, 8-bit grey and 24-bit colour are stored as delivered
        }
        if (bytes.size() != format_.bytesPerRow ||
            std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
            error_ = writeFailure("a PNM row");
            return false;
        }
        return true;
    }

    bool finishFile() override {
        if (std::fflush(file_) != 0 || std::ferror(file_) != 0) {
            error_ = writeFailure("the end of the PNM file");
            return false;
        }
        return true;
    }

private:
    static std::string writeFailure(const std::string& what) {
        return "cannot write " + what + ": " + std::strerror(errno);
    }

    std::FILE* file_;
    PnmFormat format_;
    std::vector<uint8_t> fileRow_;
};

}  // namespace

std::unique_ptr<ImageWriter> makePnmWriter(std::FILE* file, const ImageHeader& header,
                                           std::string& error) {
    auto writer = std::make_unique<PnmWriter>(file, header);
    if (!writer->start()) {
        error = writer->error();
        return nullptr;
    }
    return writer;
}

}  // namespace vexscan::tool
