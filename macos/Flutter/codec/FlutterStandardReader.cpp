#include "macos/Flutter/codec/FlutterStandardReader.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>

#include "macos/Flutter/codec/FlutterCodecError.h"
#include "macos/Flutter/codec/StandardEncoding.h"

using namespace standard_encoding;

namespace {

// What the decodes in progress have charged, all threads together, and their bound.
std::atomic<size_t> gDecodeMemoryInUse{0};
std::atomic<size_t> gConcurrentBudget{FlutterStandardReader::kConcurrentBudget};

// `count` elements of a typed list from the message into `values`, copied once.
template <typename T>
void copyElements(const uint8_t* first, size_t count, std::vector<T>& values) {
  if (reinterpret_cast<uintptr_t>(first) % alignof(T) == 0) {
    // Aligned in memory as in the message (whose alignment counts from its start, where a
    // buffer starts): copied as they stand, without zeroing the list first.
    const T* elements = reinterpret_cast<const T*>(first);
    values.assign(elements, elements + count);
  } else {
    // A message at an odd address: its elements can only be copied as bytes.
    values.resize(count);
    std::memcpy(values.data(), first, count * sizeof(T));
  }
}

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
  gDecodeMemoryInUse.fetch_sub(reserved_, std::memory_order_relaxed);
}

void FlutterStandardReader::charge(size_t bytes) {
  if (bytes > budget_ - charged_) [[unlikely]]
    throw FlutterCodecError("message too large to decode: over its memory budget");
  charged_ += bytes;
  if (charged_ > reserved_) reserve(charged_ - reserved_);
}

void FlutterStandardReader::reserve(size_t needed) {
  // From the share of all decodes a step at a time, so that a message of many small values
  // does not touch the shared count for each; near the bound, only what is needed.
  size_t taken = std::max(needed, kReserveStep);
  const size_t bound = gConcurrentBudget.load(std::memory_order_relaxed);
  size_t before = gDecodeMemoryInUse.fetch_add(taken, std::memory_order_relaxed);
  if (before + taken > bound && taken > needed) {
    gDecodeMemoryInUse.fetch_sub(taken - needed, std::memory_order_relaxed);
    taken = needed;
  }
  reserved_ += taken;  // given back by the destructor, also when refused below
  if (before + taken > bound) [[unlikely]]
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

std::string_view FlutterStandardReader::readUTF8View() {
  const uint32_t length = readSize();
  require(length);
  charge(length);
  const std::string_view text(reinterpret_cast<const char*>(data_ + position_), length);
  position_ += length;
  return text;
}

std::string FlutterStandardReader::readUTF8() { return std::string(readUTF8View()); }

template <typename T>
void FlutterStandardReader::readTypedListInto(EncodableValue& slot) {
  const uint32_t count = readSize();
  if (sizeof(T) > 1) readAlignment(sizeof(T));
  const size_t length = static_cast<size_t>(count) * sizeof(T);
  require(length);  // before anything is allocated
  charge(length);
  const uint8_t* first = data_ + position_;
  position_ += length;
  copyElements(first, count, slot.emplace<std::vector<T>>());
}

EncodableValue FlutterStandardReader::readValue() {
  EncodableValue value;
  try {
    readInto(value);
  } catch (const std::bad_alloc&) {
    // Running out of memory fails this message only, as any other decoding error does.
    throw FlutterCodecError("message too large to decode: out of memory");
  }
  return value;
}

void FlutterStandardReader::readInto(EncodableValue& slot) {
  const uint8_t type = readByte();
  if (++depth_ > kMaxDepth) throw FlutterCodecError("message corrupted: nested too deeply");
  if (type < kFirstExtensionType) {
    readStandardInto(type, slot);
  } else {
    slot = readValueOfType(type);
  }
  --depth_;
}

EncodableValue FlutterStandardReader::readValueOfType(uint8_t type) {
  if (type >= kFirstExtensionType) unknownType(type);
  EncodableValue value;
  readStandardInto(type, value);
  return value;
}

void FlutterStandardReader::unknownType(uint8_t type) {
  throw FlutterCodecError("message corrupted: unknown type " + std::to_string(type));
}

void FlutterStandardReader::readStandardInto(uint8_t type, EncodableValue& slot) {
  switch (type) {
    case kNull:
      slot.emplace<std::monostate>();
      return;
    case kTrue:
      slot.emplace<bool>(true);
      return;
    case kFalse:
      slot.emplace<bool>(false);
      return;
    case kInt32:
      slot.emplace<int32_t>(readScalar<int32_t>());
      return;
    case kInt64:
      slot.emplace<int64_t>(readScalar<int64_t>());
      return;
    case kLargeInt:  // the legacy large integer travels as its hexadecimal text
    case kString:
      slot.emplace<std::string>(readUTF8View());
      return;
    case kFloat64:
      readAlignment(8);
      slot.emplace<double>(readScalar<double>());
      return;
    case kUInt8List:
      return readTypedListInto<uint8_t>(slot);
    case kInt32List:
      return readTypedListInto<int32_t>(slot);
    case kInt64List:
      return readTypedListInto<int64_t>(slot);
    case kFloat32List:
      return readTypedListInto<float>(slot);
    case kFloat64List:
      return readTypedListInto<double>(slot);
    case kList: {
      const uint32_t count = readSize();
      require(count);  // every element takes at least its type byte
      charge(static_cast<size_t>(count) * sizeof(EncodableValue));
      // Made at its full length, each element then read in its place.
      for (auto& element : slot.emplace<EncodableList>(count)) readInto(element);
      return;
    }
    case kMap: {
      const uint32_t count = readSize();
      require(static_cast<size_t>(count) * 2);
      // The entries, and the index that finding duplicate keys sorts.
      charge(static_cast<size_t>(count) * (sizeof(EncodableMap::Entry) + 2 * sizeof(size_t)));
      auto& map = slot.emplace<EncodableMap>();
      map.reserve(count);
      for (uint32_t i = 0; i < count; ++i) {
        auto& entry = map.appendEntry();
        readInto(entry.first);
        readInto(entry.second);
      }
      map.removeDuplicateKeys();
      return;
    }
    default:
      unknownType(type);
  }
}
