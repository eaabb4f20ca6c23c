#pragma once

#include <memory>
#include <string>

#include "platform/Foundation/PropertyList.h"

// The Core Foundation allocator argument; only the default allocator exists here.
using CFAllocatorRef = std::nullptr_t;
inline constexpr CFAllocatorRef kCFAllocatorDefault = nullptr;

// A Core Foundation error; no call here reports one, so it stays a placeholder for the
// out-argument the platform's signatures carry.
struct CFError;
using CFErrorRef = std::shared_ptr<CFError>;

// The security task of a process: here, the entitlements the application is signed with,
// read from Contents/Resources/Entitlements.plist of the main bundle when the task is
// made. Released (CFRelease) when the last reference goes.
class SecTask {
 public:
  explicit SecTask(PropertyList::Dictionary entitlements)
      : entitlements_(std::move(entitlements)) {}
  const PropertyList::Dictionary& entitlements() const { return entitlements_; }

 private:
  PropertyList::Dictionary entitlements_;
};
using SecTaskRef = std::shared_ptr<SecTask>;

// The task of the running process, or nullptr when the main bundle has no readable
// entitlements: the file is missing, is not a regular file (a directory in its place),
// is not a whole property list, or its root is not a dictionary.
SecTaskRef SecTaskCreateFromSelf(CFAllocatorRef allocator);

// The value of entitlement `entitlement` (the caller owns it), or nullptr when the task
// has no such entitlement or `task` is nullptr. `error` is left untouched.
std::shared_ptr<const PropertyList> SecTaskCopyValueForEntitlement(const SecTaskRef& task,
                                                                   const std::string& entitlement,
                                                                   CFErrorRef* error);
