// File names of a batch scan: a pattern with one page-number conversion, "%d" or with a zero-pad
// width such as "%03d"; "%%" stands for a percent sign. Nothing else of printf is taken, so a
// user's pattern never reaches a printf-style formatter.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexscan::tool {

struct BatchPattern {
    std::string before;  // the text around the page number, with "%%" already resolved
    std::string after;
    bool zeroPadded = false;
    uint32_t width = 0;  // minimum digits
};

std::optional<BatchPattern> parseBatchPattern(std::string_view text, std::string& error);

// Pages are numbered from 1.
std::string pageFileName(const BatchPattern& pattern, uint32_t page);

}  // namespace vexscan::tool
