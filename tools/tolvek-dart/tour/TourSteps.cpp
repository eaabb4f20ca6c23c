#include "tools/tolvek-dart/tour/TourSteps.h"

namespace tolvekdart {

const std::vector<TourStep>& tourSteps() {
  static const std::vector<TourStep> steps = {
      {"desktop windows", tourDesktopWindows},
      {"message to a channel without a handler", tourUnknownChannel},
      {"device info", tourDeviceInfo},
      {"package info", tourPackageInfo},
      {"path provider", tourPathProvider},
      {"clipboard", tourClipboard},
      {"file picker", tourFilePicker},
      {"window", tourWindow},
      {"system scale", tourSystemScale},
  };
  return steps;
}

}  // namespace tolvekdart
