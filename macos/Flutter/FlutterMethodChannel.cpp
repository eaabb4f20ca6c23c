#include "macos/Flutter/FlutterMethodChannel.h"

#include "macos/Flutter/IncomingMethodCall.h"
#include "macos/Flutter/codec/FlutterCodecError.h"

std::shared_ptr<FlutterMethodChannel> FlutterMethodChannel::methodChannelWithName(
    std::string name, std::shared_ptr<FlutterBinaryMessenger> messenger,
    std::shared_ptr<FlutterStandardMethodCodec> codec) {
  return std::make_shared<FlutterMethodChannel>(std::move(name), std::move(messenger),
                                                std::move(codec));
}

FlutterMethodChannel::FlutterMethodChannel(std::string name,
                                           std::shared_ptr<FlutterBinaryMessenger> messenger,
                                           std::shared_ptr<FlutterStandardMethodCodec> codec)
    : name_(std::move(name)), messenger_(std::move(messenger)), codec_(std::move(codec)) {}

void FlutterMethodChannel::setMethodCallHandler(FlutterMethodCallHandler handler) {
  if (!handler) {
    messenger_->setMessageHandlerOnChannel(name_, nullptr);
    return;
  }
  messenger_->setMessageHandlerOnChannel(
      name_, [codec = codec_, handler = std::move(handler)](const FlutterBinaryMessage& message,
                                                            FlutterBinaryReply reply) {
        const auto decoded = decodeIncomingMethodCall(*codec, message, reply);
        if (!decoded) return;
        const FlutterMethodCall& call = *decoded;
        FlutterResult result([codec, reply](FlutterMethodReply answer) {
          try {
            reply(codec->encodeReply(answer));
          } catch (const FlutterCodecError& error) {
            // A handler answered with a value this codec cannot carry.
            reply(codec->encodeErrorEnvelope(
                FlutterError::errorWithCode("encode-error", error.what())));
          }
        });
        try {
          handler(call, result);
        } catch (const std::exception& error) {
          if (!result.answered()) result(FlutterError::errorWithCode("error", error.what()));
        }
      });
}

void FlutterMethodChannel::invokeMethod(const std::string& method, const EncodableValue& arguments,
                                        std::function<void(FlutterMethodReply)> callback) {
  FlutterBinaryReplyCallback onReply;
  if (callback) {
    onReply = [codec = codec_, callback = std::move(callback)](const FlutterBinaryMessage& reply) {
      try {
        callback(codec->decodeEnvelope(reply));
      } catch (const FlutterCodecError& error) {
        callback(FlutterError::errorWithCode("decode-error", error.what()));
      }
    };
  }
  messenger_->sendOnChannel(name_, codec_->encodeMethodCall({method, arguments}),
                            std::move(onReply));
}
