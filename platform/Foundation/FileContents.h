#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// The whole content of the regular file at `path`. Nothing when it is missing, is not a
// regular file (a directory, a device), cannot be read, or is larger than `maximumSize`.
std::optional<std::string> readFileContents(const std::string& path, size_t maximumSize);

}  // namespace platform
