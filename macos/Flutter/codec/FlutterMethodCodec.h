#pragma once

#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "macos/Flutter/codec/FlutterError.h"
#include "macos/Flutter/codec/FlutterMessageCodec.h"
#include "macos/Flutter/codec/FlutterMethodCall.h"

// The reply a method handler gives when it does not serve the method.
struct FlutterMethodNotImplementedType {
  friend bool operator==(FlutterMethodNotImplementedType, FlutterMethodNotImplementedType) {
    return true;
  }
};
inline constexpr FlutterMethodNotImplementedType FlutterMethodNotImplemented{};

// What a method call is answered with: a value, an error, or "not implemented".
using FlutterMethodReply =
    std::variant<EncodableValue, FlutterError, FlutterMethodNotImplementedType>;

// Flutter's standard method codec: method calls and reply envelopes. An empty reply
// envelope means "not implemented".
class FlutterStandardMethodCodec {
 public:
  static std::shared_ptr<FlutterStandardMethodCodec> sharedInstance();
  static std::shared_ptr<FlutterStandardMethodCodec> codecWithReaderWriter(
      std::shared_ptr<FlutterStandardReaderWriter> readerWriter);

  explicit FlutterStandardMethodCodec(std::shared_ptr<FlutterStandardReaderWriter> readerWriter);

  std::vector<uint8_t> encodeMethodCall(const FlutterMethodCall& call) const;
  // Throws FlutterCodecError.
  FlutterMethodCall decodeMethodCall(const std::vector<uint8_t>& message) const;

  std::vector<uint8_t> encodeSuccessEnvelope(const EncodableValue& result) const;
  std::vector<uint8_t> encodeErrorEnvelope(const FlutterError& error) const;
  // The envelope for any reply; not implemented is the empty envelope.
  std::vector<uint8_t> encodeReply(const FlutterMethodReply& reply) const;
  // Throws FlutterCodecError. An empty envelope decodes as not implemented; an error
  // envelope may carry a fourth value, a stack trace (a string or null), which is dropped.
  FlutterMethodReply decodeEnvelope(const std::vector<uint8_t>& envelope) const;

 private:
  std::shared_ptr<FlutterStandardReaderWriter> readerWriter_;
};
