#include "platform/AppKit/NSApplicationMain.h"

#include <algorithm>
#include <cstdio>

#include "platform/AppKit/InterfaceDescription.h"
#include "platform/AppKit/NSApplication.h"
#include "platform/AppKit/TerminationSignals.h"
#include "platform/Foundation/NSBundle.h"
#include "platform/Foundation/PropertyList.h"
#include "platform/desktop/WindowServer.h"
#include "platform/desktop/WindowServerChoice.h"
#include "platform/dispatch/MainThread.h"
#include "platform/machine/HeapReuse.h"
#include "platform/machine/MachineProfile.h"

namespace {

using platform::StartupError;

// The main bundle's interface description, as its Info.plist names it.
platform::InterfaceDescription mainInterfaceDescription() {
  const auto bundle = NSBundle::mainBundle();
  const auto nib = bundle->objectForInfoDictionaryKey("NSMainNibFile");
  const std::string info = bundle->bundlePath() + "/Contents/Info.plist";
  if (!nib || !nib->string()) {
    std::string problem;
    if (!PropertyList::fromFile(info, &problem)) throw StartupError(info + " " + problem);
    throw StartupError(info + " names no NSMainNibFile");
  }
  const std::string& name = *nib->string();
  if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
    throw StartupError(info + ": NSMainNibFile \"" + name + "\" is not a file name");
  const auto path = bundle->pathForResource(name, "json");
  if (!path)
    throw StartupError("the interface description " + bundle->resourcePath() + "/" + name +
                       ".json is missing");
  return platform::InterfaceDescription::load(*path);
}

int reportStartupFailure(const std::string& what, int status = 1) {
  std::string line = what;
  std::replace(line.begin(), line.end(), '\n', ' ');
  std::fprintf(stderr, "tolvek: %s\n", line.c_str());
  return status;
}

}  // namespace

int NSApplicationMain(int, char*[]) {
  assertMainThread();
  platform::keepFreedHeapForReuse();
  platform::routeTerminationSignalsToApplication();
  // The desktop comes first: nothing appears before it is known.
  try {
    platform::installChosenWindowServer();
  } catch (const platform::WindowServerChoiceError& error) {
    return reportStartupFailure(error.what(), 2);
  }
  const auto identifier = NSBundle::mainBundle()->bundleIdentifier();
  if (platform::windowServer().handOverToRunningApplication(identifier.value_or(""))) return 0;
  platform::InterfaceDescription description;
  try {
    platform::MachineProfile::current();
    description = mainInterfaceDescription();
  } catch (const std::exception& error) {
    return reportStartupFailure(error.what());
  }
  platform::LoadedInterface interface;
  try {
    interface = platform::loadInterface(description);
  } catch (const StartupError& error) {
    return reportStartupFailure(error.what());
  }
  NSApp()->run();
  return 0;
}
