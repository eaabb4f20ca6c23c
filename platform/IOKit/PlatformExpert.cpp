#include "platform/IOKit/PlatformExpert.h"

#include <systemd/sd-id128.h>

#include <cctype>

#include "platform/IOKit/IOKitLib.h"
#include "platform/machine/MachineProfile.h"

namespace platform::iokit {
namespace {

// What the machine profile says of the UUID property, if it names it.
std::optional<PlatformUUIDOverride> profileUUID() {
  try {
    return MachineProfile::current().platformUUID;
  } catch (const MachineProfileError&) {
    // A profile that cannot be read describes no machine; start-up reports it.
    return PlatformUUIDOverride{};  // absent
  }
}

CFTypeRef platformUUID() {
  if (const auto given = profileUUID()) {
    switch (given->kind) {
      case PlatformUUIDOverride::Kind::String:
        return std::make_shared<const CFString>(given->value);
      case PlatformUUIDOverride::Kind::NotAString:
        return std::make_shared<const CFNumber>(42);
      case PlatformUUIDOverride::Kind::Absent:
        return nullptr;
    }
  }
  const auto uuid = linuxPlatformUUID();
  if (!uuid) return nullptr;
  return std::make_shared<const CFString>(*uuid);
}

}  // namespace

std::optional<std::string> formatUUID(const std::string& text) {
  std::string digits;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '-' && text.size() == 36 && (i == 8 || i == 13 || i == 18 || i == 23)) continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  if (digits.size() != 32) return std::nullopt;
  return digits.substr(0, 8) + "-" + digits.substr(8, 4) + "-" + digits.substr(12, 4) + "-" +
         digits.substr(16, 4) + "-" + digits.substr(20);
}

std::optional<std::string> linuxPlatformUUID() {
  // The machine id is confidential: what leaves the machine is an id derived from it with
  // a key of this application's, as systemd derives application-specific ids, so the id
  // is stable for the machine yet tells nothing about the id itself.
  constexpr sd_id128_t kApplicationKey = {{0x7c, 0xfe, 0x5e, 0xa4, 0xd6, 0x0d, 0x4e, 0xa2, 0xb9,
                                           0x23, 0x44, 0x55, 0x0c, 0x10, 0xc3, 0x89}};
  sd_id128_t id;
  if (sd_id128_get_machine_app_specific(kApplicationKey, &id) < 0) return std::nullopt;
  char text[SD_ID128_STRING_MAX];
  return formatUUID(sd_id128_to_string(id, text));
}

CFTypeRef platformExpertProperty(const std::string& key) {
  if (key == kIOPlatformUUIDKey) return platformUUID();
  return nullptr;
}

}  // namespace platform::iokit
