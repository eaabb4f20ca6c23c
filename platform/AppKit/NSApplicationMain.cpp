#include "platform/AppKit/NSApplicationMain.h"

#include <plist/plist.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "platform/AppKit/InterfaceDescription.h"
#include "platform/AppKit/NSApplication.h"
#include "platform/dispatch/MainThread.h"
#include "platform/machine/MachineProfile.h"

namespace platform {
namespace {

[[noreturn]] void fail(const std::string& what) { throw StartupError(what); }

// The bundle around the running executable: .../Tolvek.app for
// .../Tolvek.app/Contents/MacOS/Tolvek.
std::string mainBundlePath() {
  std::error_code error;
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) fail("cannot find the running executable: " + error.message());
  const auto macos = executable.parent_path();
  const auto contents = macos.parent_path();
  if (macos.filename() != "MacOS" || contents.filename() != "Contents")
    fail(executable.string() + " is not inside an application bundle (.../Contents/MacOS/)");
  return contents.parent_path().string();
}

// The NSMainNibFile entry of the bundle's Info.plist.
std::string mainNibFile(const std::string& bundlePath) {
  const std::string path = bundlePath + "/Contents/Info.plist";
  std::ifstream file(path, std::ios::binary);
  if (!file) fail("cannot read " + path);
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  plist_t root = nullptr;
  if (!bytes.empty()) plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  const std::unique_ptr<void, decltype(&plist_free)> owner(root, &plist_free);
  if (root == nullptr || plist_get_node_type(root) != PLIST_DICT)
    fail(path + " is not a property list dictionary");
  const plist_t entry = plist_dict_get_item(root, "NSMainNibFile");
  if (entry == nullptr || plist_get_node_type(entry) != PLIST_STRING)
    fail(path + " names no NSMainNibFile");
  char* text = nullptr;
  plist_get_string_val(entry, &text);
  const std::string name = text != nullptr ? text : "";
  std::free(text);
  if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
    fail(path + ": NSMainNibFile \"" + name + "\" is not a file name");
  return name;
}

int reportStartupFailure(const std::string& what) {
  std::string line = what;
  std::replace(line.begin(), line.end(), '\n', ' ');
  std::fprintf(stderr, "tolvek: %s\n", line.c_str());
  return 1;
}

}  // namespace

int applicationMain(const std::string& bundlePath) {
  assertMainThread();
  InterfaceDescription description;
  try {
    MachineProfile::current();
    const std::string nib = mainNibFile(bundlePath);
    description = InterfaceDescription::load(bundlePath + "/Contents/Resources/" + nib + ".json");
  } catch (const std::exception& error) {
    return reportStartupFailure(error.what());
  }
  LoadedInterface interface;
  try {
    interface = loadInterface(description);
  } catch (const StartupError& error) {
    return reportStartupFailure(error.what());
  }
  NSApp()->run();
  return 0;
}

}  // namespace platform

int NSApplicationMain(int, char*[]) {
  assertMainThread();
  std::string bundlePath;
  try {
    platform::MachineProfile::current();
    bundlePath = platform::mainBundlePath();
  } catch (const std::exception& error) {
    return platform::reportStartupFailure(error.what());
  }
  return platform::applicationMain(bundlePath);
}
