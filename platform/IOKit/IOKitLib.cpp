#include "platform/IOKit/IOKitLib.h"

#include <map>
#include <mutex>
#include <string>

#include "platform/IOKit/PlatformExpert.h"

namespace platform::iokit {
namespace {

// The object references handed out: each names the class of the service it refers to.
struct ObjectTable {
  std::mutex mutex;
  io_object_t next = 0x1003;  // port names are never 0
  std::map<io_object_t, std::string> classes;
};

ObjectTable& objects() {
  static ObjectTable table;
  return table;
}

std::optional<std::string> classOf(io_object_t object) {
  auto& table = objects();
  std::lock_guard lock(table.mutex);
  const auto found = table.classes.find(object);
  if (found == table.classes.end()) return std::nullopt;
  return found->second;
}

}  // namespace

size_t liveObjectCountForTesting() {
  auto& table = objects();
  std::lock_guard lock(table.mutex);
  return table.classes.size();
}

}  // namespace platform::iokit

CFMutableDictionaryRef IOServiceMatching(const char* name) {
  if (name == nullptr) return nullptr;
  auto matching = std::make_shared<CFDictionary>();
  matching->setValue(kIOProviderClassKey, CFSTR(name));
  return matching;
}

io_service_t IOServiceGetMatchingService(mach_port_t mainPort, CFDictionaryRef matching) {
  using namespace platform::iokit;
  if (mainPort != kIOMainPortDefault || !matching) return IO_OBJECT_NULL;
  const CFTypeRef wanted = matching->value(kIOProviderClassKey);
  if (CFGetTypeID(wanted) != CFStringGetTypeID()) return IO_OBJECT_NULL;
  const std::string& className = static_cast<const CFString&>(*wanted).string();
  // The registry holds one service: the platform expert.
  if (className != kPlatformExpertClass) return IO_OBJECT_NULL;
  auto& table = objects();
  std::lock_guard lock(table.mutex);
  const io_object_t object = table.next++;
  table.classes.emplace(object, className);
  return object;
}

CFTypeRef IORegistryEntryCreateCFProperty(io_registry_entry_t entry, CFStringRef key,
                                          CFAllocatorRef /*allocator*/, IOOptionBits /*options*/) {
  using namespace platform::iokit;
  if (!key) return nullptr;
  const auto className = classOf(entry);
  if (!className || *className != kPlatformExpertClass) return nullptr;
  return platformExpertProperty(key->string());
}

kern_return_t IOObjectRelease(io_object_t object) {
  auto& table = platform::iokit::objects();
  std::lock_guard lock(table.mutex);
  return table.classes.erase(object) == 1 ? KERN_SUCCESS : KERN_INVALID_ARGUMENT;
}
