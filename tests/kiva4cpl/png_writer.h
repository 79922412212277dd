// A minimal PNG writer for test screenshots: 8-bit RGB, uncompressed (stored) deflate blocks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kiva4cpl::test {

// `rgb` holds width * height pixels, 3 bytes each, top row first. False when the file cannot be
// written.
bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace kiva4cpl::test
