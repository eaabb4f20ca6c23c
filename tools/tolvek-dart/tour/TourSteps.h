#pragma once

#include <vector>

#include "tools/tolvek-dart/EngineClient.h"
#include "tools/tolvek-dart/JsonValues.h"

namespace tolvekdart {

// One step of the tour: a name and what it asks the host; its result is printed as JSON.
// A step that throws is reported as failed and the tour goes on.
struct TourStep {
  const char* name;
  Json (*run)(EngineClient& client);
};

// Every step, in the order the tour takes them. Each area of the host adds its steps to
// the table in TourSteps.cpp, with the step itself in a file of its own.
const std::vector<TourStep>& tourSteps();

// The steps, one per area.
Json tourDesktopWindows(EngineClient& client);
Json tourUnknownChannel(EngineClient& client);
Json tourDeviceInfo(EngineClient& client);
Json tourPackageInfo(EngineClient& client);
Json tourPathProvider(EngineClient& client);
Json tourClipboard(EngineClient& client);
Json tourFilePicker(EngineClient& client);
Json tourWindow(EngineClient& client);
Json tourSystemScale(EngineClient& client);

}  // namespace tolvekdart
