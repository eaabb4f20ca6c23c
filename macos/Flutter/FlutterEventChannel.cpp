#include "macos/Flutter/FlutterEventChannel.h"

#include "macos/Flutter/IncomingMethodCall.h"
#include "macos/Flutter/codec/FlutterCodecError.h"

namespace {

// The subscription state of one channel, shared by its message handler and its sinks.
struct Subscription {
  bool active = false;
  uint64_t generation = 0;
};

}  // namespace

std::shared_ptr<FlutterEventChannel> FlutterEventChannel::eventChannelWithName(
    std::string name, std::shared_ptr<FlutterBinaryMessenger> messenger,
    std::shared_ptr<FlutterStandardMethodCodec> codec) {
  return std::make_shared<FlutterEventChannel>(std::move(name), std::move(messenger),
                                               std::move(codec));
}

FlutterEventChannel::FlutterEventChannel(std::string name,
                                         std::shared_ptr<FlutterBinaryMessenger> messenger,
                                         std::shared_ptr<FlutterStandardMethodCodec> codec)
    : name_(std::move(name)), messenger_(std::move(messenger)), codec_(std::move(codec)) {}

void FlutterEventChannel::setStreamHandler(std::shared_ptr<FlutterStreamHandler> handler) {
  if (!handler) {
    messenger_->setMessageHandlerOnChannel(name_, nullptr);
    messenger_->setDartEndHandlerOnChannel(name_, nullptr);
    return;
  }
  auto subscription = std::make_shared<Subscription>();
  // A Dart side that goes away ends its stream, as if it had cancelled it.
  messenger_->setDartEndHandlerOnChannel(name_, [handler, subscription] {
    if (!subscription->active) return;
    subscription->active = false;
    handler->onCancelWithArguments(EncodableValue());
  });
  std::weak_ptr<FlutterBinaryMessenger> weakMessenger = messenger_;
  messenger_->setMessageHandlerOnChannel(
      name_, [name = name_, codec = codec_, handler, subscription, weakMessenger](
                 const FlutterBinaryMessage& message, FlutterBinaryReply reply) {
        const auto decoded = decodeIncomingMethodCall(*codec, message, reply);
        if (!decoded) return;
        const FlutterMethodCall& call = *decoded;
        if (call.method == "listen") {
          // A listen while a stream is active ends that stream first.
          if (subscription->active) handler->onCancelWithArguments(EncodableValue());
          const uint64_t generation = ++subscription->generation;
          subscription->active = true;
          FlutterEventSink sink([=](const FlutterMethodReply* event) {
            if (!subscription->active || subscription->generation != generation) return;
            auto messenger = weakMessenger.lock();
            if (!messenger) return;
            messenger->sendOnChannel(name,
                                     event ? codec->encodeReply(*event) : FlutterBinaryMessage());
          });
          const auto error = handler->onListenWithArguments(call.arguments, sink);
          if (error) {
            subscription->active = false;
            reply(codec->encodeErrorEnvelope(*error));
          } else {
            reply(codec->encodeSuccessEnvelope(EncodableValue()));
          }
        } else if (call.method == "cancel") {
          if (!subscription->active) {
            reply(codec->encodeErrorEnvelope(
                FlutterError::errorWithCode("error", "No active stream to cancel")));
            return;
          }
          subscription->active = false;
          const auto error = handler->onCancelWithArguments(call.arguments);
          reply(error ? codec->encodeErrorEnvelope(*error)
                      : codec->encodeSuccessEnvelope(EncodableValue()));
        } else {
          reply(FlutterBinaryMessage());
        }
      });
}
