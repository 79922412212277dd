// What the library's error codes mean to a person at the command line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexscan::tool {

inline constexpr int32_t kErrorPaperOut = 14;

std::string_view errorMeaning(int32_t code);

// "error 14 (the document feeder is out of paper)".
std::string describeError(int32_t code);

}  // namespace vexscan::tool
