#pragma once

#include <optional>
#include <string>

#include "platform/CoreFoundation/CFBase.h"

namespace platform::iokit {

// The class of the registry's platform expert device.
inline constexpr const char* kPlatformExpertClass = "IOPlatformExpertDevice";

// A new object for the platform expert's property `key`, or null when it has none. The
// UUID comes from the machine profile when it names one, otherwise from Linux.
CFTypeRef platformExpertProperty(const std::string& key);

// The machine's UUID as Linux gives it to this application, upper-case in 8-4-4-4-12
// form: an id derived from the machine id (/etc/machine-id) with the application's own
// key, never the machine id itself. None when the machine has no machine id.
std::optional<std::string> linuxPlatformUUID();

// `text` as an upper-case 8-4-4-4-12 UUID, when it is one: either 32 hex digits or the
// hyphenated form (in any letter case).
std::optional<std::string> formatUUID(const std::string& text);

}  // namespace platform::iokit
