// Decodes arbitrary bytes with the standard message codec; whatever decodes must encode
// and decode again, and after that first trip (which repairs strings that are not UTF-8)
// come back equal.
#include <cstdlib>

#include "macos/Flutter/codec/FlutterCodecError.h"
#include "macos/Flutter/codec/FlutterMessageCodec.h"
#include "macos/Flutter/codec/FlutterMethodCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto& codec = *FlutterStandardMessageCodec::sharedInstance();
  EncodableValue value;
  try {
    value = codec.decode(data, size);
  } catch (const FlutterCodecError&) {
    return 0;
  }
  // Strings that are not UTF-8 go out repaired; from then on the value travels unchanged.
  const auto once = codec.decode(codec.encode(value));
  if (!(codec.decode(codec.encode(once)) == once)) std::abort();
  // The same bytes as a method call and as a reply envelope must never crash either.
  const std::vector<uint8_t> bytes(data, data + size);
  const auto& methods = *FlutterStandardMethodCodec::sharedInstance();
  try {
    methods.decodeMethodCall(bytes);
  } catch (const FlutterCodecError&) {
  }
  try {
    methods.decodeEnvelope(bytes);
  } catch (const FlutterCodecError&) {
  }
  return 0;
}
