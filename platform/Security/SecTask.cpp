#include "platform/Security/SecTask.h"

#include "platform/Foundation/NSBundle.h"

SecTaskRef SecTaskCreateFromSelf(CFAllocatorRef /*allocator*/) {
  const auto bundle = NSBundle::mainBundle();
  auto entitlements = PropertyList::fromFile(bundle->resourcePath() + "/Entitlements.plist");
  if (!entitlements || !entitlements->dictionary()) return nullptr;
  return std::make_shared<SecTask>(*entitlements->dictionary());
}

std::shared_ptr<const PropertyList> SecTaskCopyValueForEntitlement(const SecTaskRef& task,
                                                                   const std::string& entitlement,
                                                                   CFErrorRef* /*error*/) {
  if (!task) return nullptr;
  const auto& entitlements = task->entitlements();
  const auto found = entitlements.find(entitlement);
  if (found == entitlements.end()) return nullptr;
  return std::make_shared<const PropertyList>(found->second);
}
