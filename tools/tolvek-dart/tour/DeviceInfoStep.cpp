#include "tools/tolvek-dart/tour/TourSteps.h"

namespace tolvekdart {

// What the device info plug-in tells about the machine.
Json tourDeviceInfo(EngineClient& client) {
  return replyToJson(client.invokeMethod("dev.fluttercommunity.plus/device_info", "getDeviceInfo"));
}

}  // namespace tolvekdart
