#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "macos/Flutter/codec/EncodableValue.h"

// Writes values in Flutter's standard message format, appending to a byte buffer.
// Alignment counts from byte 0 of that buffer. A derived codec overrides writeValue() to
// write the types it adds and defers to this class for the rest.
//
// A value that holds only standard types and well-formed text is measured first and then
// written in one pass into a buffer reserved for it; others are written part by part.
class FlutterStandardWriter {
 public:
  explicit FlutterStandardWriter(std::vector<uint8_t>& data) : data_(data) {}
  virtual ~FlutterStandardWriter() = default;

  virtual void writeValue(const EncodableValue& value);

  void writeByte(uint8_t value) { data_.push_back(value); }
  void writeBytes(const void* bytes, size_t length);
  // A size in the shortest of the 1, 3 and 5 byte forms.
  void writeSize(uint32_t size);
  void writeAlignment(uint8_t alignment);
  void writeUTF8(const std::string& text);

 protected:
  std::vector<uint8_t>& data() { return data_; }

 private:
  void writeByParts(const EncodableValue& value);

  std::vector<uint8_t>& data_;
};
