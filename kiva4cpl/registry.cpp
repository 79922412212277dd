#include "kiva4cpl/registry.h"

#include <array>
#include <cstring>

#include "kiva4cpl/page_rules.h"
#include "kiva4cpl/win32_handles.h"

namespace kiva4cpl {

namespace {

// Registry strings are read through a buffer of this size; one more byte keeps a value that
// fills it (or was stored without a terminator) terminated.
constexpr DWORD stringQuerySize = 256;

}  // namespace

RegistryRead readRegString(HKEY root, const char* path, const char* name,
                           std::span<char> destination, const char* defaultText) {
    copyTerminated(destination, defaultText);
    RegistryKey key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        return RegistryRead::defaulted;
    }
    std::array<char, stringQuerySize + 1> value{};
    DWORD size = stringQuerySize;
    if (RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()),
                         &size) != ERROR_SUCCESS) {
        return RegistryRead::defaulted;
    }
    const bool whole = copyTerminated(destination, terminatedText(value));
    return whole ? RegistryRead::read : RegistryRead::cut;
}

DWORD readRegDword(HKEY root, const char* path, const char* name, DWORD defaultValue) {
    RegistryKey key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return defaultValue;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS) {
        return defaultValue;
    }
    return value;
}

bool writeRegString(HKEY root, const char* path, const char* name, const char* text) {
    RegistryKey key;
    if (RegCreateKeyA(root, path, key.put()) != ERROR_SUCCESS) return false;
    const auto length = static_cast<DWORD>(std::strlen(text));
    return RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          length) == ERROR_SUCCESS;
}

bool writeRegDword(HKEY root, const char* path, const char* name, DWORD value) {
    RegistryKey key;
    if (RegCreateKeyA(root, path, key.put()) != ERROR_SUCCESS) return false;
    return RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

}  // namespace kiva4cpl
