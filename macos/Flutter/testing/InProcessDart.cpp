#include "macos/Flutter/testing/InProcessDart.h"

#include <stdexcept>

#include "platform/dispatch/RunLoop.h"

std::shared_ptr<InProcessDart> InProcessDart::attach(
    const std::shared_ptr<FlutterEngineMessenger>& messenger) {
  auto dart = std::make_shared<InProcessDart>();
  dart->messenger_ = messenger;
  messenger->attach(dart);
  return dart;
}

FlutterBinaryMessage InProcessDart::send(const std::string& channel,
                                         const FlutterBinaryMessage& message) {
  auto messenger = messenger_.lock();
  if (!messenger) throw std::runtime_error("the engine is gone");
  auto reply = std::make_shared<std::optional<FlutterBinaryMessage>>();
  auto replyMutex = std::make_shared<std::mutex>();
  messenger->handleMessageFromDart(channel, message,
                                    [reply, replyMutex](FlutterBinaryMessage bytes) {
                                      std::lock_guard lock(*replyMutex);
                                      *reply = std::move(bytes);
                                    });
  const bool answered = platform::RunLoop::main().runUntil([&] {
    std::lock_guard lock(*replyMutex);
    return reply->has_value();
  });
  if (!answered) throw std::runtime_error("no reply on " + channel);
  std::lock_guard lock(*replyMutex);
  return **reply;
}

FlutterMethodReply InProcessDart::invokeMethod(const std::string& channel,
                                               const std::string& method,
                                               const EncodableValue& arguments) {
  const auto codec = FlutterStandardMethodCodec::sharedInstance();
  return codec->decodeEnvelope(send(channel, codec->encodeMethodCall({method, arguments})));
}

std::vector<InProcessDart::Received> InProcessDart::received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

std::vector<EncodableValue> InProcessDart::events(const std::string& channel) const {
  const auto codec = FlutterStandardMethodCodec::sharedInstance();
  std::vector<EncodableValue> values;
  for (const auto& message : received()) {
    if (message.channel != channel || message.message.empty()) continue;
    const auto event = codec->decodeEnvelope(message.message);
    if (const auto* value = std::get_if<EncodableValue>(&event)) values.push_back(*value);
  }
  return values;
}

void InProcessDart::clearReceived() {
  std::lock_guard lock(mutex_);
  received_.clear();
}

void InProcessDart::deliverToDart(const std::string& channel, const FlutterBinaryMessage& message,
                                  FlutterBinaryReplyCallback onReply) {
  {
    std::lock_guard lock(mutex_);
    received_.push_back({channel, message});
  }
  // Dart answers every message from the host with null.
  if (onReply) onReply(FlutterBinaryMessage());
}
