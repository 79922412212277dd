#include "vexscan/platform/profile_reader.h"

#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>

namespace vexscan::platform {
namespace {

std::string_view trim(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The leading decimal integer, wrapping like a 32-bit conversion on overflow.
int32_t leadingInteger(std::string_view value) {
    bool negative = false;
    if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    uint32_t magnitude = 0;
    for (char c : value) {
        if (c < '0' || c > '9') {
            break;
        }
        magnitude = magnitude * 10u + static_cast<uint32_t>(c - '0');
    }
    return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

}  // namespace

int32_t readProfileIntFromText(std::string_view text, std::string_view section, std::string_view key,
                               int32_t defaultValue) {
    bool inSection = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            const std::string_view name =
                trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            inSection = equalsIgnoringCase(name, section);
            continue;
        }
        if (!inSection) {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || !equalsIgnoringCase(trim(line.substr(0, equals)), key)) {
            continue;
        }
        const std::string_view value = trim(line.substr(equals + 1));
        return value.empty() ? defaultValue : leadingInteger(value);
    }
    return defaultValue;
}

int32_t readProfileIntFromFile(const char* section, const char* key, int32_t defaultValue,
                               const char* path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return defaultValue;
    }
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return readProfileIntFromText(text, section, key, defaultValue);
}

}  // namespace vexscan::platform
