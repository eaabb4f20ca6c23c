#include "platform/Foundation/NSHost.h"

#include <mutex>

#include "platform/Foundation/EnvironmentFile.h"
#include "platform/Foundation/FileContents.h"
#include "platform/machine/MachineProfile.h"
#include "platform/text/Utf8Text.h"

namespace {

constexpr const char* kMachineInfoPath = "/etc/machine-info";
constexpr size_t kMaximumMachineInfoSize = 64 * 1024;

struct MachineInfoLocation {
  std::mutex mutex;
  std::string path = kMachineInfoPath;
};

MachineInfoLocation& machineInfoLocation() {
  static MachineInfoLocation location;
  return location;
}

std::string machineInfoPath() {
  auto& location = machineInfoLocation();
  const std::lock_guard lock(location.mutex);
  return location.path;
}

}  // namespace

std::shared_ptr<NSHost> NSHost::currentHost() {
  static const auto host = std::make_shared<NSHost>();
  return host;
}

std::optional<std::string> NSHost::localizedName() const {
  const auto& profile = platform::MachineProfile::current();
  if (profile.localizedHostName) {
    const auto& name = *profile.localizedHostName;
    if (name && !isWellFormedUtf8(*name)) return std::nullopt;
    return name;
  }
  const auto text = platform::readFileContents(machineInfoPath(), kMaximumMachineInfoSize);
  if (!text) return std::nullopt;
  const auto values = platform::parseEnvironmentFile(*text);
  const auto found = values.find("PRETTY_HOSTNAME");
  // A name that is not UTF-8 is no name the platform's strings can hold: as if unset.
  if (found == values.end() || found->second.empty() || !isWellFormedUtf8(found->second))
    return std::nullopt;
  return found->second;
}

namespace platform {

void setMachineInfoPathForTesting(std::optional<std::string> path) {
  auto& location = machineInfoLocation();
  const std::lock_guard lock(location.mutex);
  location.path = path.value_or(kMachineInfoPath);
}

}  // namespace platform
