#include "platform/Foundation/NSProcessInfo.h"

#include <unistd.h>

#include <mutex>
#include <tuple>

#include "platform/machine/MachineProfile.h"

extern char** environ;

namespace {

constexpr NSOperatingSystemVersion kDefaultVersion{15, 1, 0};
constexpr const char* kDefaultVersionString = "Version 15.1 (Build 24B83)";

struct EmulatedSystem {
  std::mutex mutex;
  NSOperatingSystemVersion version = kDefaultVersion;
  std::optional<std::string> versionString = kDefaultVersionString;
};

EmulatedSystem& emulatedSystem() {
  static EmulatedSystem system;
  return system;
}

std::string versionStringFor(const NSOperatingSystemVersion& version) {
  std::string text = "Version " + std::to_string(version.majorVersion) + "." +
                     std::to_string(version.minorVersion);
  if (version.patchVersion != 0) text += "." + std::to_string(version.patchVersion);
  return text;
}

}  // namespace

std::shared_ptr<NSProcessInfo> NSProcessInfo::processInfo() {
  static const auto info = std::make_shared<NSProcessInfo>();
  return info;
}

std::map<std::string, std::string> NSProcessInfo::environment() const {
  std::map<std::string, std::string> variables;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const auto equals = text.find('=');
    if (equals == std::string::npos || equals == 0) continue;
    variables.emplace(text.substr(0, equals), text.substr(equals + 1));
  }
  return variables;
}

int NSProcessInfo::processIdentifier() const { return static_cast<int>(::getpid()); }

NSOperatingSystemVersion NSProcessInfo::operatingSystemVersion() const {
  const auto& profile = platform::MachineProfile::current();
  if (profile.operatingSystemVersion && profile.operatingSystemVersion->size() == 3) {
    const auto& parts = *profile.operatingSystemVersion;
    return {parts[0], parts[1], parts[2]};
  }
  auto& system = emulatedSystem();
  const std::lock_guard lock(system.mutex);
  return system.version;
}

std::string NSProcessInfo::operatingSystemVersionString() const {
  const auto& profile = platform::MachineProfile::current();
  if (profile.operatingSystemVersionString) return *profile.operatingSystemVersionString;
  if (!profile.operatingSystemVersion) {
    auto& system = emulatedSystem();
    const std::lock_guard lock(system.mutex);
    if (system.versionString) return *system.versionString;
  }
  return versionStringFor(operatingSystemVersion());
}

bool NSProcessInfo::isOperatingSystemAtLeastVersion(const NSOperatingSystemVersion& version) const {
  const auto current = operatingSystemVersion();
  return std::tie(current.majorVersion, current.minorVersion, current.patchVersion) >=
         std::tie(version.majorVersion, version.minorVersion, version.patchVersion);
}

namespace platform {

void setEmulatedOperatingSystemVersionForTesting(std::optional<NSOperatingSystemVersion> version,
                                                 std::optional<std::string> versionString) {
  auto& system = emulatedSystem();
  const std::lock_guard lock(system.mutex);
  if (version) {
    system.version = *version;
    system.versionString = std::move(versionString);
  } else {
    system.version = kDefaultVersion;
    system.versionString = kDefaultVersionString;
  }
}

}  // namespace platform
