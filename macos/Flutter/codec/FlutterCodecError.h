#pragma once

#include <stdexcept>

// Bytes that are not a valid encoding. Thrown by the decoders; the channels and the
// transport catch it and answer with an error instead.
class FlutterCodecError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
