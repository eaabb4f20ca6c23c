#pragma once

#include <optional>
#include <string>

// Reads the platform UUID from the I/O Registry's platform expert device.
class SystemUUID {
 public:
  SystemUUID() = delete;

  // The "IOPlatformUUID" property as text; none when the property is absent or is not a
  // string. Never throws.
  static std::optional<std::string> getSystemUUID();
};
