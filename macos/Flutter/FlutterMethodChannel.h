#pragma once

#include <memory>
#include <string>

#include "macos/Flutter/FlutterBinaryMessenger.h"
#include "macos/Flutter/FlutterResult.h"

// A named channel of method calls, with the standard method codec unless told otherwise.
class FlutterMethodChannel {
 public:
  static std::shared_ptr<FlutterMethodChannel> methodChannelWithName(
      std::string name, std::shared_ptr<FlutterBinaryMessenger> messenger,
      std::shared_ptr<FlutterStandardMethodCodec> codec =
          FlutterStandardMethodCodec::sharedInstance());

  FlutterMethodChannel(std::string name, std::shared_ptr<FlutterBinaryMessenger> messenger,
                       std::shared_ptr<FlutterStandardMethodCodec> codec);

  // Installs `handler` for calls from the Dart side; nullptr removes it. A call whose bytes
  // do not decode is answered with the error "decode-error" and never reaches the handler.
  void setMethodCallHandler(FlutterMethodCallHandler handler);

  // Calls a method on the Dart side; `callback`, if any, receives the reply.
  void invokeMethod(const std::string& method, const EncodableValue& arguments,
                    std::function<void(FlutterMethodReply)> callback = nullptr);

  const std::string& name() const { return name_; }

 private:
  std::string name_;
  std::shared_ptr<FlutterBinaryMessenger> messenger_;
  std::shared_ptr<FlutterStandardMethodCodec> codec_;
};
