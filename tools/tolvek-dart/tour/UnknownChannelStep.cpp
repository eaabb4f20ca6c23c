#include "tools/tolvek-dart/tour/TourSteps.h"

namespace tolvekdart {

// A method call on a channel nobody serves: the engine answers it empty, which a method
// channel reads as "not implemented".
Json tourUnknownChannel(EngineClient& client) {
  return replyToJson(client.invokeMethod("tolvek/tour/nobody", "ping"));
}

}  // namespace tolvekdart
