// Paths below the Windows directory, built in fixed-size buffers as the package's other
// components expect them to be.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>

namespace vexscan {

// The Windows directory followed by each part, joined with the system's separator; nothing when
// the path and its terminating NUL would not fit in `capacity` characters.
std::optional<std::string> windowsPath(std::size_t capacity, std::initializer_list<const char*> parts);

}  // namespace vexscan
