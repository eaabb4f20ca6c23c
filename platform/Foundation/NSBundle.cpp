#include "platform/Foundation/NSBundle.h"

#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <vector>

namespace {

std::string parentOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string lastComponentOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string executablePath() {
  std::vector<char> buffer(4096);
  while (true) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<size_t>(length) < buffer.size())
      return std::string(buffer.data(), static_cast<size_t>(length));
    buffer.resize(buffer.size() * 2);
  }
}

struct MainBundleState {
  std::mutex mutex;
  std::shared_ptr<NSBundle> bundle;
};

MainBundleState& mainBundleState() {
  static MainBundleState state;
  return state;
}

}  // namespace

NSBundle::NSBundle(std::string bundlePath)
    : bundlePath_(std::move(bundlePath)), info_(PropertyList::Dictionary{}) {
  auto info = PropertyList::fromFile(bundlePath_ + "/Contents/Info.plist");
  if (info && info->dictionary()) info_ = std::move(*info);
}

std::shared_ptr<NSBundle> NSBundle::mainBundle() {
  auto& state = mainBundleState();
  const std::lock_guard lock(state.mutex);
  if (!state.bundle) {
    state.bundle = std::make_shared<NSBundle>(platform::bundlePathForExecutable(executablePath()));
  }
  return state.bundle;
}

std::shared_ptr<NSBundle> NSBundle::bundleWithPath(const std::string& path) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return nullptr;
  return std::make_shared<NSBundle>(path);
}

std::string NSBundle::resourcePath() const { return bundlePath_ + "/Contents/Resources"; }

std::optional<std::string> NSBundle::bundleIdentifier() const {
  const auto value = objectForInfoDictionaryKey("CFBundleIdentifier");
  if (!value || !value->string()) return std::nullopt;
  return *value->string();
}

const PropertyList::Dictionary& NSBundle::infoDictionary() const { return *info_.dictionary(); }

std::shared_ptr<const PropertyList> NSBundle::objectForInfoDictionaryKey(
    const std::string& key) const {
  return info_.objectForKey(key);
}

std::optional<std::string> NSBundle::pathForResource(const std::string& name,
                                                     const std::string& extension) const {
  if (name.empty()) return std::nullopt;
  std::string path = resourcePath() + "/" + name;
  if (!extension.empty()) path += "." + extension;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return path;
}

namespace platform {

void setMainBundlePathForTesting(std::optional<std::string> path) {
  auto& state = mainBundleState();
  const std::lock_guard lock(state.mutex);
  state.bundle = path ? std::make_shared<NSBundle>(std::move(*path)) : nullptr;
}

std::string bundlePathForExecutable(const std::string& executablePath) {
  const std::string folder = parentOf(executablePath);
  const std::string contents = parentOf(folder);
  if (lastComponentOf(folder) == "MacOS" && lastComponentOf(contents) == "Contents" &&
      contents != folder) {
    return parentOf(contents);
  }
  return folder;
}

}  // namespace platform
