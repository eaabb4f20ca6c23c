#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/Foundation/NSProcessInfo.h"
#include "platform/Foundation/PropertyList.h"
#include "platform/Security/SecTask.h"
#include "platform/UniformTypeIdentifiers/UTType.h"

// The system services the file picker asks for. By default the platform's own; tests put
// stand-ins in their place to watch and steer what the plug-in sees.
struct FilePickerSystem {
  // Security: the running process's task and its entitlement values.
  std::function<SecTaskRef(CFAllocatorRef allocator)> secTaskCreateFromSelf = SecTaskCreateFromSelf;
  std::function<std::shared_ptr<const PropertyList>(
      const SecTaskRef& task, const std::string& entitlement, CFErrorRef* error)>
      secTaskCopyValueForEntitlement = SecTaskCopyValueForEntitlement;
  // The operating-system version test: true when the system is `version` or later.
  std::function<bool(const NSOperatingSystemVersion& version)> isOperatingSystemAtLeastVersion =
      [](const NSOperatingSystemVersion& version) {
        return NSProcessInfo::processInfo()->isOperatingSystemAtLeastVersion(version);
      };
  // UniformTypeIdentifiers: `UTType(filenameExtension:conformingTo:)`.
  std::function<std::shared_ptr<UTType>(const std::string& extension,
                                        const std::shared_ptr<UTType>& supertype)>
      typeWithFilenameExtension = UTType::typeWithFilenameExtension;
};
