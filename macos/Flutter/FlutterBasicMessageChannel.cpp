#include "macos/Flutter/FlutterBasicMessageChannel.h"

#include "macos/Flutter/codec/FlutterCodecError.h"

FlutterBasicMessageChannel::FlutterBasicMessageChannel(
    std::string name, std::shared_ptr<FlutterBinaryMessenger> messenger,
    std::shared_ptr<FlutterMessageCodec> codec)
    : name_(std::move(name)), messenger_(std::move(messenger)), codec_(std::move(codec)) {}

void FlutterBasicMessageChannel::setMessageHandler(
    FlutterMessageHandler handler,
    std::function<EncodableValue(const std::string&)> onUndecodable) {
  if (!handler) {
    messenger_->setMessageHandlerOnChannel(name_, nullptr);
    return;
  }
  messenger_->setMessageHandlerOnChannel(name_, [codec = codec_, handler = std::move(handler),
                                                 onUndecodable = std::move(onUndecodable)](
                                                    const FlutterBinaryMessage& message,
                                                    FlutterBinaryReply reply) {
    EncodableValue decoded;
    try {
      decoded = codec->decode(message);
    } catch (const FlutterCodecError& error) {
      reply(onUndecodable ? codec->encode(onUndecodable(error.what())) : FlutterBinaryMessage());
      return;
    }
    FlutterReply answer([codec, reply](EncodableValue value) {
      try {
        reply(codec->encode(value));
      } catch (const FlutterCodecError&) {
        reply(FlutterBinaryMessage());
      }
    });
    try {
      handler(decoded, answer);
    } catch (const std::exception&) {
      // Nothing crosses the channel as an exception; the reply goes out as null.
    }
  });
}

void FlutterBasicMessageChannel::sendMessage(const EncodableValue& message,
                                             std::function<void(EncodableValue)> callback) {
  FlutterBinaryReplyCallback onReply;
  if (callback) {
    onReply = [codec = codec_, callback = std::move(callback)](const FlutterBinaryMessage& reply) {
      try {
        callback(codec->decode(reply));
      } catch (const FlutterCodecError&) {
        callback(EncodableValue());
      }
    };
  }
  messenger_->sendOnChannel(name_, codec_->encode(message), std::move(onReply));
}
