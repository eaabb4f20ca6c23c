#include "device_info_plus/Sources/device_info_plus/SystemUUID.h"

#include "platform/Foundation/NSProcessInfo.h"
#include "platform/IOKit/IOKitLib.h"

std::optional<std::string> SystemUUID::getSystemUUID() {
  // The default main port goes by kIOMainPortDefault from 12.0 on, by kIOMasterPortDefault
  // before.
  const mach_port_t port = NSProcessInfo::processInfo()->isOperatingSystemAtLeastVersion({12, 0, 0})
                               ? kIOMainPortDefault
                               : kIOMasterPortDefault;
  const io_service_t service =
      IOServiceGetMatchingService(port, IOServiceMatching("IOPlatformExpertDevice"));
  CFTypeRef property =
      IORegistryEntryCreateCFProperty(service, CFSTR(kIOPlatformUUIDKey), kCFAllocatorDefault, 0);
  std::optional<std::string> uuid;
  if (CFGetTypeID(property) == CFStringGetTypeID())
    uuid = static_cast<const CFString&>(*property).string();
  CFRelease(property);
  IOObjectRelease(service);
  return uuid;
}
