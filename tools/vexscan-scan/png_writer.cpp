// Each layout as PNG stores it best: line art as 1-bit grey (inverted, since PNG's 0 is black
// and the library's set bit is a dark dot), 4-, 8- and 16-bit grey as grey of that depth, 8 and
// 256 colours as 4- and 8-bit palette images, 12-bit colour widened to 8-bit RGB, 24- and 48-bit
// colour as 8- and 16-bit RGB. 16-bit samples are turned big-endian on the way.
//
// libpng reports errors by longjmp. Every function that calls into libpng therefore sets its own
// jump point and keeps nothing with a destructor on its stack; the message is kept in the object.
#include "tools/vexscan-scan/png_writer.h"

#include <png.h>

#include <array>
#include <csetjmp>
#include <vector>

#include "tools/vexscan-scan/pixel_rows.h"

namespace vexscan::tool {
namespace {

constexpr double kMetresPerInch = 0.0254;

struct PngFormat {
    int bitDepth;
    int colorType;
    std::size_t bytesPerRow;
};

PngFormat pngFormatOf(const ImageHeader& header) {
    const std::size_t width = header.width;
    switch (header.layout) {
        case PixelLayout::LineArt:
            return {1, PNG_COLOR_TYPE_GRAY, (width + 7) / 8};
        case PixelLayout::Gray4:
            return {4, PNG_COLOR_TYPE_GRAY, (width + 1) / 2};
        case PixelLayout::Gray8:
            return {8, PNG_COLOR_TYPE_GRAY, width};
        case PixelLayout::Gray16:
            return {16, PNG_COLOR_TYPE_GRAY, width * 2};
        case PixelLayout::Color8:
            return {4, PNG_COLOR_TYPE_PALETTE, (width + 1) / 2};
        case PixelLayout::Color256:
            return {8, PNG_COLOR_TYPE_PALETTE, width};
        case PixelLayout::Color12:
        case PixelLayout::Color24:
            return {8, PNG_COLOR_TYPE_RGB, width * 3};
        case PixelLayout::Color48:
            return {16, PNG_COLOR_TYPE_RGB, width * 6};
    }
    return {8, PNG_COLOR_TYPE_GRAY, width};
}

class PngWriter final : public ImageWriter {
public:
    explicit PngWriter(const ImageHeader& header)
        : ImageWriter(header), format_(pngFormatOf(header)), fileRow_(format_.bytesPerRow) {}

    ~PngWriter() override {
        if (png_ != nullptr) {
            png_destroy_write_struct(&png_, &info_);
        }
    }

    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    bool start(std::FILE* file) {
        png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, this, &PngWriter::onError,
                                       &PngWriter::onWarning);
        if (png_ != nullptr) {
            info_ = png_create_info_struct(png_);
        }
        if (png_ == nullptr || info_ == nullptr) {
            error_ = "libpng could not be set up";
            return false;
        }
        fillPalette();
        if (!writeHeader(file)) {
            error_ = "cannot write the PNG header: " + std::string(message_.data());
            return false;
        }
        return true;
    }

protected:
    bool writeFileRow(std::span<const uint8_t> row) override {
        const uint8_t* bytes = row.data();
        switch (header_.layout) {
            case PixelLayout::LineArt:
                invertBits(row, fileRow_);
                bytes = fileRow_.data();
                break;
            case PixelLayout::Gray16:
            case PixelLayout::Color48:
                swapSampleBytes(row, fileRow_);
                bytes = fileRow_.data();
                break;
            case PixelLayout::Color12:
                expandColor12(row, header_.width, fileRow_);
                bytes = fileRow_.data();
                break;
            default:
                break;  // the library's bytes are already PNG's
        }
        if (!writeBytes(bytes)) {
            error_ = "cannot write a PNG row: " + std::string(message_.data());
            return false;
        }
        return true;
    }

    bool finishFile() override {
        if (!writeEnd()) {
            error_ = "cannot complete the PNG file: " + std::string(message_.data());
            return false;
        }
        return true;
    }

private:
    static void onError(png_structp png, png_const_charp message) {
        auto* self = static_cast<PngWriter*>(png_get_error_ptr(png));
        std::snprintf(self->message_.data(), self->message_.size(), "%s", message);
        png_longjmp(png, 1);
    }
    static void onWarning(png_structp, png_const_charp) {}

    void fillPalette() {
        if (header_.layout == PixelLayout::Color8) {
            paletteSize_ = kColor8Entries;
            for (std::size_t i = 0; i < paletteSize_; ++i) {
                const Rgb rgb = color8Entry(static_cast<uint8_t>(i));
                palette_[i] = png_color{rgb.red, rgb.green, rgb.blue};
            }
        } else if (header_.layout == PixelLayout::Color256) {
            paletteSize_ = kColor256Entries;
            for (std::size_t i = 0; i < paletteSize_; ++i) {
                const Rgb rgb = color256Entry(static_cast<uint8_t>(i));
                palette_[i] = png_color{rgb.red, rgb.green, rgb.blue};
            }
        }
    }

    bool writeHeader(std::FILE* file) {
        if (setjmp(png_jmpbuf(png_)) != 0) {
            return false;
        }
        png_init_io(png_, file);
        png_set_IHDR(png_, info_, header_.width, header_.height, format_.bitDepth,
                     format_.colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        if (paletteSize_ > 0) {
            png_set_PLTE(png_, info_, palette_.data(), static_cast<int>(paletteSize_));
        }
        if (header_.dotsPerInch > 0) {
            const auto perMetre =
                static_cast<png_uint_32>(header_.dotsPerInch / kMetresPerInch + 0.5);
            png_set_pHYs(png_, info_, perMetre, perMetre, PNG_RESOLUTION_METER);
        }
        png_write_info(png_, info_);
        return true;
    }

    bool writeBytes(const uint8_t* row) {
        if (setjmp(png_jmpbuf(png_)) != 0) {
            return false;
        }
        png_write_row(png_, row);
        return true;
    }

    bool writeEnd() {
        if (setjmp(png_jmpbuf(png_)) != 0) {
            return false;
        }
        png_write_end(png_, nullptr);
        return true;
    }

    PngFormat format_;
    std::vector<uint8_t> fileRow_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    std::array<png_color, 256> palette_{};
    std::size_t paletteSize_ = 0;
    std::array<char, 200> message_{};
};

}  // namespace

std::unique_ptr<ImageWriter> makePngWriter(std::FILE* file, const ImageHeader& header,
                                           std::string& error) {
    auto writer = std::make_unique<PngWriter>(header);
    if (!writer->start(file)) {
        error = writer->error();
        return nullptr;
    }
    return writer;
}

}  // namespace vexscan::tool
