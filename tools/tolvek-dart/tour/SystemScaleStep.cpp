#include <chrono>

#include "tools/tolvek-dart/tour/TourSteps.h"

namespace tolvekdart {

// The display scale: asked once, then listened to for a moment while the window's backing
// properties change once, then cancelled.
Json tourSystemScale(EngineClient& client) {
  Json result = Json::object();
  result["getScale"] = replyToJson(client.invokeMethod("tolvek/system_scale", "getScale"));
  result["listen"] = replyToJson(client.invokeMethod("tolvek/system_scale/events", "listen"));
  client.desktop("changeBackingProperties");
  Json events = Json::array();
  const auto deadline = EngineClient::Clock::now() + std::chrono::milliseconds(200);
  while (const auto message = client.nextHostMessage(deadline)) {
    if (message->channel != "tolvek/system_scale/events") continue;
    events.push_back(replyToJson(
        FlutterStandardMethodCodec::sharedInstance()->decodeEnvelope(message->payload)));
    if (events.size() == 2) break;
  }
  result["events"] = events;
  result["cancel"] = replyToJson(client.invokeMethod("tolvek/system_scale/events", "cancel"));
  return result;
}

}  // namespace tolvekdart
