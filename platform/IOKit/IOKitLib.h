#pragma once

// The I/O Registry, as far as the host reads it: the platform expert device and its
// properties.

#include <cstddef>
#include <cstdint>

#include "platform/CoreFoundation/CFBase.h"

using kern_return_t = int;
using mach_port_t = unsigned int;
using io_object_t = mach_port_t;
using io_service_t = io_object_t;
using io_registry_entry_t = io_object_t;
using IOOptionBits = uint32_t;

inline constexpr kern_return_t KERN_SUCCESS = 0;
inline constexpr kern_return_t KERN_INVALID_ARGUMENT = 4;
inline constexpr mach_port_t MACH_PORT_NULL = 0;
inline constexpr io_object_t IO_OBJECT_NULL = 0;

// The default main port, under its current name and under the name older systems
// (before 12.0) know it by. Both are the null port, which stands for the default.
inline constexpr mach_port_t kIOMainPortDefault = MACH_PORT_NULL;
inline constexpr mach_port_t kIOMasterPortDefault = MACH_PORT_NULL;

// The matching key for a service's class, and the platform expert's UUID property.
inline constexpr const char* kIOProviderClassKey = "IOProviderClass";
inline constexpr const char* kIOPlatformUUIDKey = "IOPlatformUUID";

// A matching dictionary for services of class `name` (or null for a null name).
CFMutableDictionaryRef IOServiceMatching(const char* name);

// The first registered service that `matching` describes, as a new object reference the
// caller releases with IOObjectRelease; IO_OBJECT_NULL when none matches or the port is
// not the default one. Consumes the caller's reference to `matching`.
io_service_t IOServiceGetMatchingService(mach_port_t mainPort, CFDictionaryRef matching);

// A new reference to the property `key` of `entry`, or null when the entry has no such
// property (or is not a live object reference).
CFTypeRef IORegistryEntryCreateCFProperty(io_registry_entry_t entry, CFStringRef key,
                                          CFAllocatorRef allocator, IOOptionBits options);

// Releases one reference to an object; KERN_INVALID_ARGUMENT when `object` is not a live
// reference (IO_OBJECT_NULL included).
kern_return_t IOObjectRelease(io_object_t object);

namespace platform::iokit {
// The number of object references handed out and not yet released (tests).
size_t liveObjectCountForTesting();
}  // namespace platform::iokit
