#include "platform/Foundation/UserDirectories.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/Foundation/EnvironmentFile.h"
#include "platform/Foundation/FileContents.h"

namespace platform {
namespace {

// user-dirs.dirs names a handful of folders; a bound keeps a stray huge file out.
constexpr size_t kMaximumUserDirsSize = 64 * 1024;

bool isAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::optional<std::string> passwordEntryHome() {
  std::vector<char> buffer(16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr || found->pw_dir == nullptr || !isAbsolute(found->pw_dir)) {
    return std::nullopt;
  }
  return std::string(found->pw_dir);
}

std::string inHome(const std::string& home, const std::string& relative) {
  return withoutTrailingSlashes(appendingPathComponent(home, relative));
}

}  // namespace

std::string appendingPathComponent(const std::string& path, const std::string& component) {
  return path + (path.empty() || path.back() != '/' ? "/" : "") + component;
}

std::optional<std::string> pathInHomeDirectory(const std::string& relative) {
  const auto home = homeDirectory();
  if (!home) return std::nullopt;
  return inHome(*home, relative);
}

std::optional<std::string> homeDirectory() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && isAbsolute(home)) return withoutTrailingSlashes(home);
  auto entry = passwordEntryHome();
  if (entry) return withoutTrailingSlashes(*entry);
  return std::nullopt;
}

std::optional<std::string> xdgBaseDirectory(const char* variable, const std::string& fallback) {
  const char* value = std::getenv(variable);
  if (value != nullptr && isAbsolute(value)) return withoutTrailingSlashes(value);
  return pathInHomeDirectory(fallback);
}

std::optional<std::string> xdgUserDirectory(const std::string& name, const std::string& fallback) {
  const auto home = homeDirectory();
  if (!home) return std::nullopt;
  if (const auto config = xdgBaseDirectory("XDG_CONFIG_HOME", ".config")) {
    const auto text =
        readFileContents(appendingPathComponent(*config, "user-dirs.dirs"), kMaximumUserDirsSize);
    const auto values = parseEnvironmentFile(text.value_or(""));
    const auto found = values.find("XDG_" + name + "_DIR");
    if (found != values.end()) {
      const std::string& value = found->second;
      if (value == "$HOME" || value.rfind("$HOME/", 0) == 0)
        return inHome(*home, value.size() > 5 ? value.substr(6) : "");
      if (isAbsolute(value)) return withoutTrailingSlashes(value);
    }
  }
  return inHome(*home, fallback);
}

std::string abbreviatingWithTildeInPath(const std::string& path) {
  const auto home = homeDirectory();
  if (!home || *home == "/") return path;
  if (path == *home) return "~";
  if (path.rfind(*home + "/", 0) == 0) return "~" + path.substr(home->size());
  return path;
}

}  // namespace platform
