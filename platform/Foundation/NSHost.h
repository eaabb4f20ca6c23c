#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/Foundation/NSObject.h"

// The machine the process runs on.
class NSHost : public NSObject {
 public:
  static std::shared_ptr<NSHost> currentHost();

  // The name people know the machine by: the machine profile's "localizedHostName" as it
  // stands when the profile names one (null: nothing); else PRETTY_HOSTNAME of
  // /etc/machine-info, read at each call, and nothing when that is missing or empty.
  // A name that is not well-formed UTF-8, from either, is no name: nothing.
  // An unreadable machine profile throws MachineProfileError, as MachineProfile::current().
  std::optional<std::string> localizedName() const;
};

namespace platform {

// Reads the pretty host name from `path` instead of /etc/machine-info (nothing: back).
void setMachineInfoPathForTesting(std::optional<std::string> path);

}  // namespace platform
