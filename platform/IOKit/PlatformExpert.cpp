#include "platform/IOKit/PlatformExpert.h"

#include <cctype>
#include <fstream>

#include "platform/IOKit/IOKitLib.h"
#include "platform/machine/MachineProfile.h"

namespace platform::iokit {
namespace {

std::optional<std::string> firstLine(const char* path) {
  std::ifstream file(path);
  std::string line;
  if (!file || !std::getline(file, line)) return std::nullopt;
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  return line;
}

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
  for (const char* path : {"/etc/machine-id", "/sys/class/dmi/id/product_uuid"}) {
    if (const auto line = firstLine(path))
      if (auto uuid = formatUUID(*line)) return uuid;
  }
  return std::nullopt;
}

CFTypeRef platformExpertProperty(const std::string& key) {
  if (key == kIOPlatformUUIDKey) return platformUUID();
  return nullptr;
}

}  // namespace platform::iokit
