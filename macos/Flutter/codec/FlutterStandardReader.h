#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "macos/Flutter/codec/EncodableValue.h"

// Reads values in Flutter's standard message format. Every read is bounds-checked and a
// declared size is checked against the bytes left before anything is allocated; invalid
// input throws FlutterCodecError. The standard types are read by this class; a derived
// codec overrides readValueOfType(), which is asked for the types it adds (128 to 255), and
// defers to this class for those it does not know.
//
// Memory is budgeted: every value built is charged before it is allocated, against a
// budget of a few times the message's size plus a fixed allowance, and against what all
// decodes in progress in the process may hold together. A message over either bound is
// refused with FlutterCodecError, so that a small message cannot make the host allocate
// without bound (a list of millions of nulls costs far more than its bytes).
class FlutterStandardReader {
 public:
  // Nesting deeper than this is refused rather than risking the stack.
  static constexpr int kMaxDepth = 512;
  // One message may build up to this many bytes per byte of its own, plus the allowance.
  static constexpr size_t kBudgetPerByte = 8;
  static constexpr size_t kBudgetAllowance = size_t{4} << 20;
  // What every decode in progress may build together.
  static constexpr size_t kConcurrentBudget = size_t{512} << 20;
  // A decode takes its share of that bound this many bytes at a time (less near the bound).
  static constexpr size_t kReserveStep = size_t{64} << 10;
  // Test seam: another bound for all decodes together (nothing: back to the default).
  static void setConcurrentBudgetForTesting(std::optional<size_t> budget);

  FlutterStandardReader(const uint8_t* data, size_t length);
  virtual ~FlutterStandardReader();
  FlutterStandardReader(const FlutterStandardReader&) = delete;
  FlutterStandardReader& operator=(const FlutterStandardReader&) = delete;

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
  // Charges `bytes` that the value being read is about to allocate; throws
  // FlutterCodecError when the message's or the process's decode budget is spent.
  void charge(size_t bytes);

 private:
  void require(size_t length) const {
    if (length > length_ - position_) [[unlikely]]
      outOfData();
  }
  // Takes `needed` more bytes from what all decodes in progress may hold.
  void reserve(size_t needed);
  [[noreturn]] static void outOfData();
  [[noreturn]] static void unknownType(uint8_t type);
  template <typename T>
  T readScalar() {
    T value;
    readBytes(&value, sizeof value);
    return value;
  }
  // The text of a string, charged, as it stands in the message.
  std::string_view readUTF8View();
  // A value read into `slot`, where it stays: no value is moved on the way.
  void readInto(EncodableValue& slot);
  void readStandardInto(uint8_t type, EncodableValue& slot);
  template <typename T>
  void readTypedListInto(EncodableValue& slot);

  const uint8_t* data_;
  size_t length_;
  size_t position_ = 0;
  int depth_ = 0;
  size_t budget_;
  size_t charged_ = 0;   // what this message's values took
  size_t reserved_ = 0;  // what this decode holds of the shared bound: charged_ or a little more
};
