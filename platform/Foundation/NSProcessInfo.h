#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/Foundation/NSObject.h"

struct NSOperatingSystemVersion {
  int64_t majorVersion = 0;
  int64_t minorVersion = 0;
  int64_t patchVersion = 0;
  bool operator==(const NSOperatingSystemVersion&) const = default;
};

// The running process and the system it runs on. The system is the emulated macOS: the
// machine profile's "operatingSystemVersion" and "operatingSystemVersionString" when it
// names them, else the emulated version (by default 15.1.0, "Version 15.1 (Build
// 24B83)"). A version without a string of its own is written "Version 14.5" (with
// ".patch" when the patch is not 0). An unreadable machine profile throws
// MachineProfileError here as MachineProfile::current() does (start-up has reported it).
class NSProcessInfo : public NSObject {
 public:
  static std::shared_ptr<NSProcessInfo> processInfo();

  // The process's environment as it is now (read at each call). When a name occurs twice,
  // the first occurrence counts, as for getenv.
  std::map<std::string, std::string> environment() const;
  int processIdentifier() const;

  NSOperatingSystemVersion operatingSystemVersion() const;
  std::string operatingSystemVersionString() const;
  // True when the system's version is `version` or later.
  bool isOperatingSystemAtLeastVersion(const NSOperatingSystemVersion& version) const;
};

namespace platform {

// Sets the emulated macOS version (and its string; nothing: derived from the version).
// Nothing for `version`: back to the default. A machine profile that names a version
// still wins.
void setEmulatedOperatingSystemVersionForTesting(std::optional<NSOperatingSystemVersion> version,
                                                 std::optional<std::string> versionString = {});

}  // namespace platform
