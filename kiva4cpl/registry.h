// The module's registry routines. Each takes the root key, the key path and the value name, and
// closes every key it opened.
#pragma once

#include <windows.h>

#include <span>

namespace kiva4cpl {

enum class RegistryRead {
    defaulted,  // key or value missing or unreadable: the destination holds the default
    read,       // the stored text, whole
    cut,        // the stored text, cut to fit the destination
};

// The destination always ends up terminated. The stored value's type is not examined.
RegistryRead readRegString(HKEY root, const char* path, const char* name,
                           std::span<char> destination, const char* defaultText);

// The stored value, or the default when it cannot be read. The type is not examined.
DWORD readRegDword(HKEY root, const char* path, const char* name, DWORD defaultValue);

// Both create the key when it is missing; true when the value was stored.
bool writeRegString(HKEY root, const char* path, const char* name, const char* text);
bool writeRegDword(HKEY root, const char* path, const char* name, DWORD value);

}  // namespace kiva4cpl
