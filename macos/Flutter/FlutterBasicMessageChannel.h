#pragma once

#include <functional>
#include <memory>
#include <string>

#include "macos/Flutter/AnswerOnce.h"
#include "macos/Flutter/FlutterBinaryMessenger.h"
#include "macos/Flutter/codec/FlutterMessageCodec.h"

// The reply to one message on a basic channel: answered once; unanswered, it replies null.
class FlutterReply : public AnswerOnce<EncodableValue> {
 public:
  FlutterReply() = default;
  explicit FlutterReply(std::function<void(EncodableValue)> deliver)
      : AnswerOnce(std::move(deliver), EncodableValue()) {}
};

using FlutterMessageHandler =
    std::function<void(const EncodableValue& message, FlutterReply reply)>;

// A named channel of single messages, each encoded with the channel's codec.
class FlutterBasicMessageChannel {
 public:
  FlutterBasicMessageChannel(
      std::string name, std::shared_ptr<FlutterBinaryMessenger> messenger,
      std::shared_ptr<FlutterMessageCodec> codec = FlutterStandardMessageCodec::sharedInstance());

  // Installs `handler`; nullptr removes any handler the name had. A message whose bytes
  // the codec cannot decode is answered with no data and never reaches the handler,
  // unless `onUndecodable` gives the reply to send instead.
  void setMessageHandler(
      FlutterMessageHandler handler,
      std::function<EncodableValue(const std::string& reason)> onUndecodable = nullptr);

  void sendMessage(const EncodableValue& message,
                   std::function<void(EncodableValue)> callback = nullptr);

  const std::string& name() const { return name_; }

 private:
  std::string name_;
  std::shared_ptr<FlutterBinaryMessenger> messenger_;
  std::shared_ptr<FlutterMessageCodec> codec_;
};
