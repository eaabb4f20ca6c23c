#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>

#include "macos/Flutter/codec/FlutterCodecError.h"
#include "macos/Flutter/codec/FlutterStandardReader.h"
#include "macos/Flutter/codec/StandardEncoding.h"

using namespace standard_encoding;

namespace {

// What the decodes in progress have charged, all threads together, and their bound.
std::atomic<size_t> gDecodeMemoryInUse{0};
std::atomic<size_t> gConcurrentBudget{FlutterStandardReader::kConcurrentBudget};

}  // namespace

void FlutterStandardReader::setConcurrentBudgetForTesting(std::optional<size_t> budget) {
  gConcurrentBudget = budget.value_or(kConcurrentBudget);
}

FlutterStandardReader::FlutterStandardReader(const uint8_t* data, size_t length)
    : data_(data),
      length_(length),
      budget_(length > (SIZE_MAX - kBudgetAllowance) / kBudgetPerByte
                  ? SIZE_MAX
                  : length * kBudgetPerByte + kBudgetAllowance) {}

FlutterStandardReader::~FlutterStandardReader() {
  gDecodeMemoryInUse.fetch_sub(charged_, std::memory_order_relaxed);
}

void FlutterStandardReader::charge(size_t bytes) {
  if (bytes > budget_ - charged_) [[unlikely]]
    throw FlutterCodecError("message too large to decode: over its memory budget");
  const size_t before = gDecodeMemoryInUse.fetch_add(bytes, std::memory_order_relaxed);
  charged_ += bytes;  // given back by the destructor, also when refused below
  if (before + bytes > gConcurrentBudget.load(std::memory_order_relaxed)) [[unlikely]]
    throw FlutterCodecError("message too large to decode: decodes in progress hold too much");
}

void FlutterStandardReader::outOfData() {
  throw FlutterCodecError("message corrupted: out of data");
}

uint32_t FlutterStandardReader::readSize() {
  const uint8_t first = readByte();
  if (first < 254) return first;
  if (first == 254) {
    uint16_t size;
    readBytes(&size, sizeof size);
    return size;
  }
  uint32_t size;
  readBytes(&size, sizeof size);
  return size;
}

void FlutterStandardReader::readAlignment(uint8_t alignment) {
  const size_t misalignment = position_ % alignment;
  if (misalignment != 0) {
    require(alignment - misalignment);
    position_ += alignment - misalignment;
  }
}

std::string FlutterStandardReader::readUTF8() {
  const uint32_t length = readSize();
  require(length);
  charge(length);
  std::string text(reinterpret_cast<const char*>(data_ + position_), length);
  position_ += length;
  return text;
}

template <typename T>
std::vector<T> FlutterStandardReader::readTypedList() {
  const uint32_t count = readSize();
  if (sizeof(T) > 1) readAlignment(sizeof(T));
  const size_t length = static_cast<size_t>(count) * sizeof(T);
  require(length);  // before anything is allocated
  charge(length);
  if constexpr (sizeof(T) == 1) {
    // Bytes are copied once, straight from the message.
    const uint8_t* first = data_ + position_;
    position_ += length;
    return std::vector<T>(first, first + length);
  } else {
    // Elements may sit at any address in the message buffer, so they are copied as bytes.
    std::vector<T> values(count);
    readBytes(values.data(), length);
    return values;
  }
}

EncodableValue FlutterStandardReader::readValue() {
  const uint8_t type = readByte();
  if (++depth_ > kMaxDepth) throw FlutterCodecError("message corrupted: nested too deeply");
  try {
    EncodableValue value = readValueOfType(type);
    --depth_;
    return value;
  } catch (const std::bad_alloc&) {
    // Running out of memory fails this message only, as any other decoding error does.
    throw FlutterCodecError("message too large to decode: out of memory");
  }
}

EncodableValue FlutterStandardReader::readValueOfType(uint8_t type) {
  switch (type) {
    case kNull:
      return EncodableValue();
    case kTrue:
      return EncodableValue(true);
    case kFalse:
      return EncodableValue(false);
    case kInt32: {
      int32_t value;
      readBytes(&value, sizeof value);
      return EncodableValue(value);
    }
    case kInt64: {
      int64_t value;
      readBytes(&value, sizeof value);
      return EncodableValue(value);
    }
    case kLargeInt:
      // The legacy large integer travels as its hexadecimal text.
      return EncodableValue(readUTF8());
    case kFloat64: {
      readAlignment(8);
      double value;
      readBytes(&value, sizeof value);
      return EncodableValue(value);
    }
    case kString:
      return EncodableValue(readUTF8());
    case kUInt8List:
      return EncodableValue(readTypedList<uint8_t>());
    case kInt32List:
      return EncodableValue(readTypedList<int32_t>());
    case kInt64List:
      return EncodableValue(readTypedList<int64_t>());
    case kFloat32List:
      return EncodableValue(readTypedList<float>());
    case kFloat64List:
      return EncodableValue(readTypedList<double>());
    case kList: {
      const uint32_t count = readSize();
      require(count);  // every element takes at least its type byte
      charge(static_cast<size_t>(count) * sizeof(EncodableValue));
      EncodableList list;
      list.reserve(count);
      for (uint32_t i = 0; i < count; ++i) list.push_back(readValue());
      return EncodableValue(std::move(list));
    }
    case kMap: {
      const uint32_t count = readSize();
      require(static_cast<size_t>(count) * 2);
      // The entries, and the index that finding duplicate keys sorts.
      charge(static_cast<size_t>(count) * (sizeof(EncodableMap::Entry) + 2 * sizeof(size_t)));
      EncodableMap map;
      map.reserve(count);
      for (uint32_t i = 0; i < count; ++i) {
        EncodableValue key = readValue();
        map.append(std::move(key), readValue());
      }
      map.removeDuplicateKeys();
      return EncodableValue(std::move(map));
    }
    default:
      throw FlutterCodecError("message corrupted: unknown type " + std::to_string(type));
  }
}
