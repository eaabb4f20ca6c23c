#include "platform/machine/MachineProfile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>

#include "platform/Foundation/FileContents.h"
#include "platform/machine/ErrnoNames.h"

namespace platform {
namespace {

using nlohmann::json;

// A profile describes a machine in a few lines; anything much larger is no profile.
constexpr size_t kMaximumProfileSize = 1024 * 1024;

[[noreturn]] void fail(const std::string& what) { throw MachineProfileError(what); }

// `what` names the entry in messages, as `sysctl "hw.model"`.
std::vector<uint8_t> parseHex(const std::string& text, const std::string& what) {
  std::vector<uint8_t> bytes;
  int pending = -1;
  for (char c : text) {
    if (c == ' ' || c == ':' || c == '\t') continue;
    int nibble;
    if (c >= '0' && c <= '9')
      nibble = c - '0';
    else if (c >= 'a' && c <= 'f')
      nibble = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      nibble = c - 'A' + 10;
    else
      fail(what + ": \"hex\" holds a character that is not a hex digit");
    if (pending < 0) {
      pending = nibble;
    } else {
      bytes.push_back(static_cast<uint8_t>(pending << 4 | nibble));
      pending = -1;
    }
  }
  if (pending >= 0) fail(what + ": \"hex\" has an odd number of digits");
  return bytes;
}

template <typename T>
std::vector<uint8_t> nativeBytes(T value) {
  std::vector<uint8_t> bytes(sizeof(T));
  std::memcpy(bytes.data(), &value, sizeof(T));
  return bytes;
}

SysctlOverride parseSysctl(const std::string& name, const json& entry) {
  if (!entry.is_object() || entry.size() != 1)
    fail("sysctl \"" + name +
         "\" must be an object with exactly one of string, int32, int64, "
         "uint64, hex, error");
  // The entry's only member. (The iteration proxy's element refers to the proxy itself, so
  // it must not be bound by reference to a temporary.)
  const auto member = entry.begin();
  const std::string& kind = member.key();
  const json& value = member.value();
  SysctlOverride result;
  if (kind == "string") {
    if (!value.is_string()) fail("sysctl \"" + name + "\": \"string\" must be a string");
    const std::string text = value.get<std::string>();
    result.bytes.assign(text.begin(), text.end());
    result.bytes.push_back(0);
  } else if (kind == "int32") {
    if (!value.is_number_integer() || value.get<int64_t>() < INT32_MIN ||
        value.get<int64_t>() > INT32_MAX)
      fail("sysctl \"" + name + "\": \"int32\" must be an integer in the 32-bit range");
    result.bytes = nativeBytes<int32_t>(value.get<int32_t>());
  } else if (kind == "int64") {
    if (!value.is_number_integer() ||
        (value.is_number_unsigned() && value.get<uint64_t>() > INT64_MAX))
      fail("sysctl \"" + name + "\": \"int64\" must be an integer in the 64-bit range");
    result.bytes = nativeBytes<int64_t>(value.get<int64_t>());
  } else if (kind == "uint64") {
    if (!value.is_number_unsigned())
      fail("sysctl \"" + name + "\": \"uint64\" must be a non-negative integer");
    result.bytes = nativeBytes<uint64_t>(value.get<uint64_t>());
  } else if (kind == "hex") {
    if (!value.is_string()) fail("sysctl \"" + name + "\": \"hex\" must be a string");
    result.bytes = parseHex(value.get<std::string>(), "sysctl \"" + name + "\"");
  } else if (kind == "error") {
    if (!value.is_string()) fail("sysctl \"" + name + "\": \"error\" must be an errno name");
    const int code = errnoFromName(value.get<std::string>());
    if (code == 0)
      fail("sysctl \"" + name + "\": unknown errno name \"" + value.get<std::string>() + "\"");
    result.error = code;
  } else {
    fail("sysctl \"" + name + "\": unknown value kind \"" + kind + "\"");
  }
  return result;
}

ScreenDescription parseScreen(const json& screen) {
  if (!screen.is_object()) fail("each of \"screens\" must be an object");
  ScreenDescription result;
  const auto frame = screen.find("frame");
  if (frame == screen.end() || !frame->is_array() || frame->size() != 4)
    fail("a screen's \"frame\" must be [x, y, width, height]");
  for (const auto& number : *frame)
    if (!number.is_number()) fail("a screen's \"frame\" must hold numbers");
  result.x = (*frame)[0].get<double>();
  result.y = (*frame)[1].get<double>();
  result.width = (*frame)[2].get<double>();
  result.height = (*frame)[3].get<double>();
  if (result.width < 0 || result.height < 0) fail("a screen's size must not be negative");
  const auto factor = screen.find("backingScaleFactor");
  if (factor != screen.end()) {
    if (!factor->is_number()) fail("a screen's \"backingScaleFactor\" must be a number");
    result.backingScaleFactor = factor->get<double>();
    if (!isPossibleBackingScaleFactor(result.backingScaleFactor))
      fail("a screen's \"backingScaleFactor\" must be above 0 and at most 16");
  }
  return result;
}

MachineProfile parseObject(const json& root) {
  if (!root.is_object()) fail("the profile must be a JSON object");
  MachineProfile profile;
  for (const auto& [key, value] : root.items()) {
    if (key == "sysctl") {
      if (!value.is_object()) fail("\"sysctl\" must be an object");
      for (const auto& [name, entry] : value.items())
        profile.sysctl[name] = parseSysctl(name, entry);
    } else if (key == "platformUUID") {
      PlatformUUIDOverride uuid;
      if (value.is_string()) {
        uuid.kind = PlatformUUIDOverride::Kind::String;
        uuid.value = value.get<std::string>();
      } else if (value.is_null()) {
        uuid.kind = PlatformUUIDOverride::Kind::Absent;
      } else if (value.is_object() && value.contains("notAString")) {
        uuid.kind = PlatformUUIDOverride::Kind::NotAString;
      } else {
        fail("\"platformUUID\" must be a string, null or {\"notAString\": ...}");
      }
      profile.platformUUID = uuid;
    } else if (key == "localizedHostName") {
      if (value.is_string())
        profile.localizedHostName = std::optional<std::string>(value.get<std::string>());
      else if (value.is_null())
        profile.localizedHostName = std::optional<std::string>();
      else if (value.is_object() && value.size() == 1 && value.contains("hex") &&
               value["hex"].is_string()) {
        // The name's exact bytes, for a machine whose name is not text.
        const auto bytes = parseHex(value["hex"].get<std::string>(), "\"localizedHostName\"");
        profile.localizedHostName =
            std::optional<std::string>(std::string(bytes.begin(), bytes.end()));
      } else
        fail("\"localizedHostName\" must be a string, null or {\"hex\": \"...\"}");
    } else if (key == "operatingSystemVersion") {
      if (!value.is_array() || value.size() != 3)
        fail("\"operatingSystemVersion\" must be [major, minor, patch]");
      std::vector<int64_t> version;
      for (const auto& part : value) {
        if (!part.is_number_integer()) fail("\"operatingSystemVersion\" must hold integers");
        version.push_back(part.get<int64_t>());
      }
      profile.operatingSystemVersion = version;
    } else if (key == "operatingSystemVersionString") {
      if (!value.is_string()) fail("\"operatingSystemVersionString\" must be a string");
      profile.operatingSystemVersionString = value.get<std::string>();
    } else if (key == "screens") {
      if (!value.is_array()) fail("\"screens\" must be a list");
      std::vector<ScreenDescription> screens;
      for (const auto& screen : value) screens.push_back(parseScreen(screen));
      profile.screens = screens;
    } else if (key == "mainScreen") {
      if (value.is_null())
        profile.mainScreen = std::optional<size_t>();
      else if (value.is_number_unsigned())
        profile.mainScreen = std::optional<size_t>(value.get<size_t>());
      else
        fail("\"mainScreen\" must be a screen index or null");
    } else {
      fail("unknown entry \"" + key + "\"");
    }
  }
  if (profile.mainScreen && *profile.mainScreen) {
    const size_t count = profile.screens ? profile.screens->size() : 1;
    if (**profile.mainScreen >= count) fail("\"mainScreen\" names no screen of the profile");
  }
  return profile;
}

struct CurrentProfile {
  std::once_flag once;
  std::mutex mutex;
  std::shared_ptr<const MachineProfile> profile;
  std::string error;
};

CurrentProfile& currentProfile() {
  static CurrentProfile state;
  return state;
}

}  // namespace

MachineProfile MachineProfile::parse(const std::string& text) {
  json root;
  try {
    root = json::parse(text);
  } catch (const json::exception& error) {  // malformed, or a number no double holds
    fail(std::string("not valid JSON: ") + error.what());
  }
  return parseObject(root);
}

MachineProfile MachineProfile::load(const std::string& path) {
  const auto file = platform::readFile(path, kMaximumProfileSize);
  if (!file.contents) fail(path + " " + file.problem);
  try {
    return parse(*file.contents);
  } catch (const MachineProfileError& error) {
    fail(path + ": " + error.what());
  }
}

const MachineProfile& MachineProfile::current() {
  CurrentProfile& state = currentProfile();
  std::call_once(state.once, [&state] {
    std::lock_guard lock(state.mutex);
    if (state.profile) return;  // set by a test first
    const char* path = std::getenv("TOLVEK_MACHINE");
    if (path == nullptr || *path == '\0') {
      state.profile = std::make_shared<MachineProfile>();
      return;
    }
    try {
      state.profile = std::make_shared<MachineProfile>(load(path));
    } catch (const MachineProfileError& error) {
      state.error = std::string("machine profile (TOLVEK_MACHINE) ") + error.what();
    }
  });
  std::lock_guard lock(state.mutex);
  if (!state.profile) throw MachineProfileError(state.error);
  return *state.profile;
}

void MachineProfile::setCurrentForTesting(MachineProfile profile) {
  CurrentProfile& state = currentProfile();
  std::call_once(state.once, [] {});
  std::lock_guard lock(state.mutex);
  // Profiles handed out earlier stay valid: they are kept until the process ends.
  static std::vector<std::shared_ptr<const MachineProfile>> retired;
  if (state.profile) retired.push_back(state.profile);
  state.profile = std::make_shared<MachineProfile>(std::move(profile));
  state.error.clear();
}

}  // namespace platform
