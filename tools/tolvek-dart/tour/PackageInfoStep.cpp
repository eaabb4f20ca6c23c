#include "tools/tolvek-dart/tour/TourSteps.h"

namespace tolvekdart {

// The application's name, identifier, version and dates, as the package info plug-in
// reads them from the bundle.
Json tourPackageInfo(EngineClient& client) {
  return replyToJson(client.invokeMethod("dev.fluttercommunity.plus/package_info", "getAll"));
}

}  // namespace tolvekdart
