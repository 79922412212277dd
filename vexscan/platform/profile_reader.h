// Settings-file (.ini) integer reading with the rules of the Windows profile functions, for
// systems that do not have them.
#pragma once

#include <cstdint>
#include <string_view>

namespace vexscan::platform {

// Section and key are compared without case; the value is its leading decimal integer after
// blanks (an optional sign, then digits; no digits gives 0). A missing file, section or key, or
// an empty value, gives `defaultValue`.
int32_t readProfileIntFromText(std::string_view text, std::string_view section, std::string_view key,
                               int32_t defaultValue);

int32_t readProfileIntFromFile(const char* section, const char* key, int32_t defaultValue,
                               const char* path);

}  // namespace vexscan::platform
