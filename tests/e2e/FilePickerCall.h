#pragma once

#include <cstdint>
#include <string>

#include "macos/Flutter/codec/FlutterMethodCodec.h"
#include "tools/tolvek-dart/EngineClient.h"

// A file picker dialog call in flight: sent as Dart sends it, its reply awaited later
// (the dialog answers when someone answers it).
class FilePickerCall {
 public:
  static constexpr const char* kChannel = "belsworthan.flutter.plugins.filepicker";

  FilePickerCall(tolvekdart::EngineClient& client, const std::string& method,
                 const EncodableValue& arguments)
      : client_(client), id_(client.newId()) {
    client.sendFrame(tolvekdart::methodCallFrame(id_, kChannel, {method, arguments}));
  }
  FlutterMethodReply reply() {
    return FlutterStandardMethodCodec::sharedInstance()->decodeEnvelope(
        client_.awaitAnswer(EngineFrameKind::reply, id_).payload);
  }

 private:
  tolvekdart::EngineClient& client_;
  uint32_t id_;
};
