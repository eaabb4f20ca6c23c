// Decodes arbitrary bytes with the path provider's codec (the standard codec and the
// directory type 129); whatever decodes must encode and decode again to an equal value.
#include <cstdlib>

#include "macos/Flutter/FlutterCodecError.h"
#include "path_provider_foundation/Sources/path_provider_foundation/messages.g.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto& codec = *MessagesPigeonCodec::shared();
  EncodableValue value;
  try {
    value = codec.decode(data, size);
  } catch (const FlutterCodecError&) {
    return 0;
  }
  if (!(codec.decode(codec.encode(value)) == value)) std::abort();
  return 0;
}
