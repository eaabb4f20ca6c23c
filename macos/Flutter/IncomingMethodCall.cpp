#include "macos/Flutter/IncomingMethodCall.h"

#include "macos/Flutter/codec/FlutterCodecError.h"

std::optional<FlutterMethodCall> decodeIncomingMethodCall(const FlutterStandardMethodCodec& codec,
                                                          const FlutterBinaryMessage& message,
                                                          const FlutterBinaryReply& reply) {
  try {
    return codec.decodeMethodCall(message);
  } catch (const FlutterCodecError& error) {
    reply(codec.encodeErrorEnvelope(FlutterError::errorWithCode("decode-error", error.what())));
    return std::nullopt;
  }
}
