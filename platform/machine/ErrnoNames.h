#pragma once

#include <string>

namespace platform {

// The errno value for a POSIX error name such as "ENOENT"; 0 for a name this system
// does not define.
int errnoFromName(const std::string& name);

}  // namespace platform
