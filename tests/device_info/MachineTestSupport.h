#pragma once

#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>

#include "platform/machine/MachineProfile.h"

namespace device_info_test {

// Puts a machine profile in place for one test and restores the bare machine after it.
class ScopedProfile {
 public:
  explicit ScopedProfile(const std::string& json = "{}") {
    platform::MachineProfile::setCurrentForTesting(platform::MachineProfile::parse(json));
  }
  ~ScopedProfile() { platform::MachineProfile::setCurrentForTesting({}); }
  ScopedProfile(const ScopedProfile&) = delete;
  ScopedProfile& operator=(const ScopedProfile&) = delete;
};

// What Linux itself says, read independently of the stand-in.
inline long onlineProcessors() { return sysconf(_SC_NPROCESSORS_ONLN); }

inline uint64_t physicalMemory() {
  return static_cast<uint64_t>(sysconf(_SC_PHYS_PAGES)) *
         static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}

inline std::optional<std::string> firstLineOf(const char* path) {
  std::ifstream file(path);
  std::string line;
  if (!file || !std::getline(file, line)) return std::nullopt;
  return line;
}

}  // namespace device_info_test
