#include "macos/Flutter/codec/FlutterCodecError.h"
#include "tools/tolvek-dart/PeerCodecs.h"
#include "tools/tolvek-dart/tour/TourSteps.h"

namespace tolvekdart {

namespace {

constexpr const char* kChannels = "dev.flutter.pigeon.path_provider_foundation.PathProviderApi.";

// One request with the path provider's codec; the reply decoded, or {"$empty": true}.
Json pathProviderRequest(EngineClient& client, const std::string& method,
                         const EncodableValue& argument) {
  const auto codec = peerMessageCodec("pathprovider");
  const auto reply = client.sendMessage(kChannels + method,
                                        codec->encode(EncodableValue(EncodableList{argument})));
  if (reply.empty()) return Json{{"$empty", true}};
  return toJson(codec->decode(reply));
}

}  // namespace

// Every directory type the path provider knows, and an application group's container.
Json tourPathProvider(EngineClient& client) {
  static const char* const kTypes[] = {
      "applicationDocuments", "applicationSupport", "downloads", "library", "temp",
      "applicationCache"};
  Json result = Json::object();
  for (int32_t type = 0; type < 6; ++type) {
    result[kTypes[type]] = pathProviderRequest(client, "getDirectoryPath",
                                               CustomEncodableValue(129, EncodableValue(type)));
  }
  result["container group.tolvek.tour"] =
      pathProviderRequest(client, "getContainerPath", EncodableValue("group.tolvek.tour"));
  return result;
}

}  // namespace tolvekdart
