#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "macos/Flutter/AnswerOnce.h"

// Channel messages travel as bytes; an empty message or reply means "no data" (null, or
// no handler).
using FlutterBinaryMessage = std::vector<uint8_t>;

// The reply to one incoming message: answered once; unanswered, it replies with no data.
class FlutterBinaryReply : public AnswerOnce<FlutterBinaryMessage> {
 public:
  FlutterBinaryReply() = default;
  explicit FlutterBinaryReply(std::function<void(FlutterBinaryMessage)> deliver)
      : AnswerOnce(std::move(deliver), FlutterBinaryMessage()) {}
};

using FlutterBinaryMessageHandler =
    std::function<void(const FlutterBinaryMessage& message, FlutterBinaryReply reply)>;
using FlutterBinaryReplyCallback = std::function<void(const FlutterBinaryMessage& reply)>;

// Carries messages between the host and the Dart side on named channels.
class FlutterBinaryMessenger {
 public:
  virtual ~FlutterBinaryMessenger() = default;

  // Sends a message to the Dart side. `callback`, if any, receives the reply (empty when
  // nothing on the Dart side answered).
  virtual void sendOnChannel(const std::string& channel, const FlutterBinaryMessage& message,
                             FlutterBinaryReplyCallback callback = nullptr) = 0;

  // Installs the handler for messages from the Dart side on `channel`, replacing any
  // handler it had; nullptr removes it. Handlers run on the main thread.
  virtual void setMessageHandlerOnChannel(const std::string& channel,
                                          FlutterBinaryMessageHandler handler) = 0;

  // Installs what runs on the main thread when the Dart side that has been talking on
  // `channel` goes away (its peer leaves or its engine restarts), after every message it
  // sent before leaving; it replaces any such handler of the channel, and nullptr removes
  // it. Channels use it to end what that Dart side opened, such as event streams. A
  // messenger whose Dart side never leaves need not keep it.
  virtual void setDartEndHandlerOnChannel(const std::string& /*channel*/,
                                          std::function<void()> /*handler*/) {}
};
