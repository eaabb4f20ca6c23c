#include "macos/Flutter/codec/FlutterMethodCodec.h"
#include "tools/tolvek-dart/tour/TourSteps.h"

namespace tolvekdart {

namespace {

const char* const kFilePickerChannel = "belsworthan.flutter.plugins.filepicker";

// Opens one dialog, reports the sheet the main window then shows, answers it as the user
// would and returns the sheet with the dialog's reply.
Json openAndAnswer(EngineClient& client, const std::string& method, const EncodableValue& arguments,
                   const EncodableList& urls) {
  const auto& codec = *FlutterStandardMethodCodec::sharedInstance();
  const auto call = methodCallFrame(client.newId(), kFilePickerChannel, {method, arguments});
  client.sendFrame(call);
  Json result = Json::object();
  result["sheet"] = replyToJson(client.desktop("sheet"));
  result["answerSheet"] =
      replyToJson(client.desktop("answerSheet", EncodableMap{{"response", 1}, {"urls", urls}}));
  result["reply"] = replyToJson(
      codec.decodeEnvelope(client.awaitAnswer(EngineFrameKind::reply, call.id).payload));
  return result;
}

}  // namespace

// The file picker: the entitlement checks turned off, then each dialog opened and answered.
Json tourFilePicker(EngineClient& client) {
  Json result = Json::object();
  result["skipEntitlementsChecks"] =
      replyToJson(client.invokeMethod(kFilePickerChannel, "skipEntitlementsChecks"));
  result["pickFiles"] = openAndAnswer(
      client, "pickFiles",
      EncodableMap{{"allowMultiple", true}, {"allowedExtensions", EncodableList{"png", "txt"}}},
      EncodableList{"/tmp/tour/a.png", "/tmp/tour/b.txt"});
  result["getDirectoryPath"] =
      openAndAnswer(client, "getDirectoryPath", EncodableMap{{"initialDirectory", "/tmp"}},
                    EncodableList{"/tmp/tour"});
  result["pickFileAndDirectoryPaths"] =
      openAndAnswer(client, "pickFileAndDirectoryPaths", EncodableMap{},
                    EncodableList{"/tmp/tour", "/tmp/tour/a.png"});
  result["saveFile"] = openAndAnswer(
      client, "saveFile", EncodableMap{{"dialogTitle", "Save the tour"}, {"fileName", "tour.txt"}},
      EncodableList{"/tmp/tour/tour.txt"});
  return result;
}

}  // namespace tolvekdart
