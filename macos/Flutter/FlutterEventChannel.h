#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "macos/Flutter/FlutterBinaryMessenger.h"
#include "macos/Flutter/codec/FlutterMethodCodec.h"

// Sends the events of one subscription to the Dart side: values, error events, and the
// end of the stream. Once the subscription has ended (cancelled, or replaced by a new
// listen), the sink sends nothing.
class FlutterEventSink {
 public:
  FlutterEventSink() = default;
  explicit FlutterEventSink(std::function<void(const FlutterMethodReply*)> send)
      : send_(std::move(send)) {}

  void operator()(const EncodableValue& event) const { send(FlutterMethodReply(event)); }
  void operator()(const FlutterError& error) const { send(FlutterMethodReply(error)); }
  void endOfStream() const {
    if (send_) send_(nullptr);
  }
  explicit operator bool() const { return static_cast<bool>(send_); }

 private:
  void send(const FlutterMethodReply& event) const {
    if (send_) send_(&event);
  }
  std::function<void(const FlutterMethodReply*)> send_;
};

// What an event channel hands its subscriptions to.
class FlutterStreamHandler {
 public:
  virtual ~FlutterStreamHandler() = default;
  // Returns an error to refuse the subscription.
  virtual std::optional<FlutterError> onListenWithArguments(const EncodableValue& arguments,
                                                            FlutterEventSink events) = 0;
  virtual std::optional<FlutterError> onCancelWithArguments(const EncodableValue& arguments) = 0;
};

// A named channel of events, with the listen/cancel protocol of the standard method codec.
class FlutterEventChannel {
 public:
  static std::shared_ptr<FlutterEventChannel> eventChannelWithName(
      std::string name, std::shared_ptr<FlutterBinaryMessenger> messenger,
      std::shared_ptr<FlutterStandardMethodCodec> codec =
          FlutterStandardMethodCodec::sharedInstance());

  FlutterEventChannel(std::string name, std::shared_ptr<FlutterBinaryMessenger> messenger,
                      std::shared_ptr<FlutterStandardMethodCodec> codec);

  // Installs the stream handler (held strongly by the channel's message handler);
  // nullptr removes it.
  void setStreamHandler(std::shared_ptr<FlutterStreamHandler> handler);

 private:
  std::string name_;
  std::shared_ptr<FlutterBinaryMessenger> messenger_;
  std::shared_ptr<FlutterStandardMethodCodec> codec_;
};
