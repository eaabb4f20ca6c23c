#pragma once

#include "macos/Flutter/codec/EncodableValue.h"

// The large message of Flutter's platform-channel benchmark: 1,000 values cycling through
// int 1, int 0, 1234.0, null, [1234], {"hello": 1234}, "this is a test", true and 64 zero
// bytes. It encodes to 14,214 bytes.
inline EncodableValue channelBenchmarkPayload() {
  const EncodableValue cycle[] = {
      EncodableValue(1),
      EncodableValue(0),
      EncodableValue(1234.0),
      EncodableValue(),
      EncodableValue(EncodableList{EncodableValue(1234)}),
      EncodableValue(EncodableMap{{EncodableValue("hello"), EncodableValue(1234)}}),
      EncodableValue("this is a test"),
      EncodableValue(true),
      EncodableValue(std::vector<uint8_t>(64, 0))};
  EncodableList list;
  for (int i = 0; i < 1000; ++i) list.push_back(cycle[i % 9]);
  return EncodableValue(list);
}
