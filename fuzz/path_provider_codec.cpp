// Decodes arbitrary bytes with the path provider's codec (the standard codec and the
// directory type 129); whatever decodes must encode and decode again, and after that
// first trip (which repairs strings that are not UTF-8) come back equal.
#include <cstdlib>

#include "macos/Flutter/codec/FlutterCodecError.h"
#include "path_provider_foundation/Sources/path_provider_foundation/messages.g.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto& codec = *MessagesPigeonCodec::shared();
  EncodableValue value;
  try {
    value = codec.decode(data, size);
  } catch (const FlutterCodecError&) {
    return 0;
  }
  // Strings that are not UTF-8 go out repaired; from then on the value travels unchanged.
  const auto once = codec.decode(codec.encode(value));
  if (!(codec.decode(codec.encode(once)) == once)) std::abort();
  return 0;
}
