// Decodes arbitrary bytes with the standard message codec; whatever decodes must encode
// and decode again to an equal value.
#include <cstdlib>

#include "macos/Flutter/FlutterCodecError.h"
#include "macos/Flutter/FlutterMessageCodec.h"
#include "macos/Flutter/FlutterMethodCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto& codec = *FlutterStandardMessageCodec::sharedInstance();
  EncodableValue value;
  try {
    value = codec.decode(data, size);
  } catch (const FlutterCodecError&) {
    return 0;
  }
  const auto encoded = codec.encode(value);
  if (!(codec.decode(encoded) == value)) std::abort();
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
