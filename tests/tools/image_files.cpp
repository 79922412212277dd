#include "tests/tools/image_files.h"

#include <png.h>

#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace vexscan::tool::test {
namespace {

// libpng leaves by longjmp: everything with a destructor lives in the caller.
bool readPngInto(std::FILE* file, PngImage* image, char* message) {
    png_structp png = png_create_read_struct(
        PNG_LIBPNG_VER_STRING, message,
        [](png_structp p, png_const_charp text) {
            std::snprintf(static_cast<char*>(png_get_error_ptr(p)), 200, "%s", text);
            png_longjmp(p, 1);
        },
        nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    image->width = png_get_image_width(png, info);
    image->height = png_get_image_height(png, info);
    image->bitDepth = png_get_bit_depth(png, info);
    image->colorType = png_get_color_type(png, info);
    png_colorp palette = nullptr;
    int entries = 0;
    if (png_get_PLTE(png, info, &palette, &entries) != 0) {
        image->palette.resize(static_cast<std::size_t>(entries) * 3);
        for (int i = 0; i < entries; ++i) {
            image->palette[3 * i] = palette[i].red;
            image->palette[3 * i + 1] = palette[i].green;
            image->palette[3 * i + 2] = palette[i].blue;
        }
    }
    png_uint_32 x = 0;
    png_uint_32 y = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &x, &y, &unit) != 0 && unit == PNG_RESOLUTION_METER) {
        image->pixelsPerMetre = x;
    }
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    image->rows.assign(image->height, std::vector<uint8_t>(rowBytes));
    for (auto& row : image->rows) {
        png_read_row(png, row.data(), nullptr);
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

uint32_t packedSample(const uint8_t* bytes, uint32_t index, uint32_t depth) {
    switch (depth) {
        case 1:
            return (bytes[index / 8] >> (7 - index % 8)) & 1u;
        case 4:
            return index % 2 == 0 ? bytes[index / 2] >> 4 : bytes[index / 2] & 0x0Fu;
        case 16:
            return uint32_t{bytes[2 * index]} << 8 | bytes[2 * index + 1];
        default:
            return bytes[index];
    }
}

}  // namespace

uint32_t PngImage::channels() const {
    switch (colorType) {
        case PNG_COLOR_TYPE_RGB:
            return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            return 4;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return 2;
        default:
            return 1;
    }
}

uint32_t PngImage::sample(uint32_t x, uint32_t y, uint32_t channel) const {
    return packedSample(rows.at(y).data(), x * channels() + channel,
                        static_cast<uint32_t>(bitDepth));
}

std::optional<PngImage> readPng(const std::string& path, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    PngImage image;
    char message[200] = "";
    const bool read = readPngInto(file, &image, message);
    std::fclose(file);
    if (!read) {
        error = path + ": " + message;
        return std::nullopt;
    }
    return image;
}

uint32_t PnmImage::sample(uint32_t x, uint32_t y, uint32_t channel) const {
    if (kind == '4') {
        const std::size_t rowBytes = (width + 7) / 8;
        return (data.at(y * rowBytes + x / 8) >> (7 - x % 8)) & 1u;
    }
    const uint32_t channels = kind == '6' ? 3 : 1;
    const uint32_t bytes = maxValue > 255 ? 2 : 1;
    const std::size_t at = (std::size_t{y} * width * channels + x * channels + channel) * bytes;
    return bytes == 2 ? uint32_t{data.at(at)} << 8 | data.at(at + 1) : data.at(at);
}

std::vector<uint8_t> readFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::optional<PnmImage> readPnm(const std::string& path, std::string& error) {
    const std::vector<uint8_t> bytes = readFileBytes(path);
    std::size_t at = 0;
    // The header's fields are separated by white space; '#' starts a comment to the line's end.
    const auto field = [&]() -> std::optional<uint32_t> {
        while (at < bytes.size()) {
            if (bytes[at] == '#') {
                while (at < bytes.size() && bytes[at] != '\n') ++at;
            } else if (std::isspace(bytes[at]) != 0) {
                ++at;
            } else {
                break;
            }
        }
        uint32_t value = 0;
        const std::size_t start = at;
        while (at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9') {
            value = value * 10 + (bytes[at++] - '0');
        }
        if (at == start) return std::nullopt;
        return value;
    };
    PnmImage image;
    if (bytes.size() < 2 || bytes[0] != 'P' ||
        (bytes[1] != '4' && bytes[1] != '5' && bytes[1] != '6')) {
        error = path + ": not a binary PNM file";
        return std::nullopt;
    }
    image.kind = static_cast<char>(bytes[1]);
    at = 2;
    const auto width = field();
    const auto height = field();
    const auto maxValue = image.kind == '4' ? std::optional<uint32_t>(1) : field();
    if (!width || !height || !maxValue || at >= bytes.size() || std::isspace(bytes[at]) == 0) {
        error = path + ": damaged PNM header";
        return std::nullopt;
    }
    ++at;  // the single white-space character before the raster
    image.width = *width;
    image.height = *height;
    image.maxValue = *maxValue;
    image.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end());
    const std::size_t channels = image.kind == '6' ? 3 : 1;
    const std::size_t expected =
        image.kind == '4'
            ? (std::size_t{image.width} + 7) / 8 * image.height
            : std::size_t{image.width} * image.height * channels * (image.maxValue > 255 ? 2 : 1);
    if (image.data.size() != expected) {
        error = path + ": raster of " + std::to_string(image.data.size()) + " bytes, expected " +
                std::to_string(expected);
        return std::nullopt;
    }
    return image;
}

}  // namespace vexscan::tool::test
