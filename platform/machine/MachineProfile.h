#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

// One kernel variable as a machine profile describes it: the exact bytes a read returns,
// or the errno the read fails with.
struct SysctlOverride {
  std::vector<uint8_t> bytes;
  int error = 0;  // non-zero: the read fails with this errno
};

struct ScreenDescription {
  double x = 0, y = 0, width = 0, height = 0;
  double backingScaleFactor = 1.0;
};

// Whether a display can have this backing scale factor: finite, above 0 and at most 16.
inline bool isPossibleBackingScaleFactor(double factor) {
  return factor > 0 && factor <= 16;  // NaN and infinities fail one of the two
}

// What the profile says of the platform UUID property.
struct PlatformUUIDOverride {
  enum class Kind { String, Absent, NotAString };
  Kind kind = Kind::Absent;
  std::string value;
};

class MachineProfileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A description of another machine than the Linux one the stand-in runs on, named by
// TOLVEK_MACHINE. Whatever the profile names wins; the rest still comes from Linux.
struct MachineProfile {
  std::map<std::string, SysctlOverride> sysctl;
  std::optional<PlatformUUIDOverride> platformUUID;
  std::optional<std::optional<std::string>> localizedHostName;  // outer: named; inner: null
  std::optional<std::vector<int64_t>> operatingSystemVersion;   // major, minor, patch
  std::optional<std::string> operatingSystemVersionString;
  std::optional<std::vector<ScreenDescription>> screens;
  std::optional<std::optional<size_t>> mainScreen;  // outer: named; inner: null (no main screen)

  // Parses a profile from JSON text. Throws MachineProfileError saying what is wrong.
  static MachineProfile parse(const std::string& json);
  // Reads and parses the file at `path`. Throws MachineProfileError.
  static MachineProfile load(const std::string& path);

  // The profile of this process: read once from TOLVEK_MACHINE on first use (an empty
  // profile when it is unset). Thread-safe. An unreadable or invalid file throws
  // MachineProfileError on every call; start-up reports it and exits.
  static const MachineProfile& current();
  // Replaces the process's profile (tests).
  static void setCurrentForTesting(MachineProfile profile);
};

}  // namespace platform
