#include "tools/vexscan-scan/batch_pattern.h"

namespace vexscan::tool {
namespace {

constexpr uint32_t kWidestNumber = 9;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<BatchPattern> parseBatchPattern(std::string_view text, std::string& error) {
    BatchPattern pattern;
    bool numberSeen = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string& part = numberSeen ? pattern.after : pattern.before;
        if (text[i] != '%') {
            part += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '%') {
            part += '%';
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool zeroPadded = false;
        if (j < text.size() && text[j] == '0') {
            zeroPadded = true;
            ++j;
        }
        uint32_t width = 0;
        while (j < text.size() && isDigit(text[j]) && width <= kWidestNumber) {
            width = width * 10 + static_cast<uint32_t>(text[j] - '0');
            ++j;
        }
        if (j >= text.size() || text[j] != 'd' || width > kWidestNumber) {
            error = "the batch pattern \"" + std::string(text) +
                    "\" may hold only %d (or %0Nd) for the page number and %% for a percent sign";
            return std::nullopt;
        }
        if (numberSeen) {
            error = "the batch pattern \"" + std::string(text) + "\" holds more than one %d";
            return std::nullopt;
        }
        numberSeen = true;
        pattern.zeroPadded = zeroPadded;
        pattern.width = width;
        i = j;
    }
    if (!numberSeen) {
        error = "the batch pattern \"" + std::string(text) +
                "\" needs a %d where the page number goes, e.g. page%d.png";
        return std::nullopt;
    }
    return pattern;
}

std::string pageFileName(const BatchPattern& pattern, uint32_t page) {
    std::string number = std::to_string(page);
    if (number.size() < pattern.width) {
        number.insert(0, pattern.width - number.size(), pattern.zeroPadded ? '0' : ' ');
    }
    return pattern.before + number + pattern.after;
}

}  // namespace vexscan::tool
