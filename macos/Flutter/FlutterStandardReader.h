#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "macos/Flutter/EncodableValue.h"

// Reads values in Flutter's standard message format. Every read is bounds-checked and a
// declared size is checked against the bytes left before anything is allocated; invalid
// input throws FlutterCodecError. A derived codec overrides readValueOfType() to read the
// types it adds and defers to this class for the rest.
class FlutterStandardReader {
 public:
  // Nesting deeper than this is refused rather than risking the stack.
  static constexpr int kMaxDepth = 512;

  FlutterStandardReader(const uint8_t* data, size_t length) : data_(data), length_(length) {}
  virtual ~FlutterStandardReader() = default;

  bool hasMore() const { return position_ < length_; }
  size_t position() const { return position_; }

  EncodableValue readValue();
  virtual EncodableValue readValueOfType(uint8_t type);

  uint8_t readByte() {
    require(1);
    return data_[position_++];
  }
  void readBytes(void* destination, size_t length) {
    require(length);
    if (length != 0) std::memcpy(destination, data_ + position_, length);
    position_ += length;
  }
  uint32_t readSize();
  void readAlignment(uint8_t alignment);
  std::string readUTF8();

 private:
  void require(size_t length) const {
    if (length > length_ - position_) [[unlikely]]
      outOfData();
  }
  [[noreturn]] static void outOfData();
  template <typename T>
  std::vector<T> readTypedList();

  const uint8_t* data_;
  size_t length_;
  size_t position_ = 0;
  int depth_ = 0;
};
