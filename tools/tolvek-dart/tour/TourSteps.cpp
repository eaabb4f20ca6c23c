#include "tools/tolvek-dart/tour/TourSteps.h"

namespace tolvekdart {

const std::vector<TourStep>& tourSteps() {
  static const std::vector<TourStep> steps = {
      {"desktop windows", tourDesktopWindows},
      {"message to a channel without a handler", tourUnknownChannel},
  };
  return steps;
}

}  // namespace tolvekdart
