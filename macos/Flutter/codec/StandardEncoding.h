#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <variant>

#include "macos/Flutter/codec/EncodableValue.h"

// The standard format's type bytes and sizes, shared by its reader, its writer and the
// size of a value written.
namespace standard_encoding {

// Numbers are stored as they stand in memory.
static_assert(std::endian::native == std::endian::little, "the standard format is little-endian");

enum Type : uint8_t {
  kNull = 0,
  kTrue = 1,
  kFalse = 2,
  kInt32 = 3,
  kInt64 = 4,
  kLargeInt = 5,
  kFloat64 = 6,
  kString = 7,
  kUInt8List = 8,
  kInt32List = 9,
  kInt64List = 10,
  kFloat64List = 11,
  kList = 12,
  kMap = 13,
  kFloat32List = 14,
};

// The index of alternative T in a value's variant, for switching on value.index().
template <typename T, typename Variant = EncodableVariant>
struct AlternativeIndex;
template <typename T, typename... Alternatives>
struct AlternativeIndex<T, std::variant<Alternatives...>> {
  static constexpr size_t value = [] {
    size_t index = 0;
    (void)((std::is_same_v<T, Alternatives> ? true : (++index, false)) || ...);
    return index;
  }();
};
template <typename T>
inline constexpr size_t kIndexOf = AlternativeIndex<T>::value;

// Type bytes from here on are the extension types that derived codecs add.
inline constexpr uint8_t kFirstExtensionType = 128;

// How many bytes a size takes: the shortest of the 1, 3 and 5 byte forms.
constexpr size_t sizeOfSize(size_t size) { return size < 254 ? 1 : size <= 0xffff ? 3 : 5; }

// `position` moved up to the next multiple of `alignment` (a power of two).
constexpr size_t alignedUp(size_t position, size_t alignment) {
  return (position + alignment - 1) & ~(alignment - 1);
}

// Walks `value` part by part for `out`, which measures or stores each part: byte(type),
// tagged(type, number), float64(number), header(type, count), text(string) and
// typedList(type, values), and says whether to go on (text may refuse). An extension value
// stops the walk: false.
template <typename Out>
bool encodeParts(const EncodableValue& value, Out& out);

template <typename Out>
bool encodeList(const EncodableList& list, Out& out) {
  out.header(kList, list.size());
  for (const auto& element : list)
    if (!encodeParts(element, out)) return false;
  return true;
}

template <typename Out>
bool encodeMap(const EncodableMap& map, Out& out) {
  out.header(kMap, map.size());
  for (const auto& [key, element] : map)
    if (!encodeParts(key, out) || !encodeParts(element, out)) return false;
  return true;
}

// Scalars inline, where most of the values of a message are; containers in a call each.
template <typename Out>
[[gnu::always_inline]] inline bool encodeParts(const EncodableValue& value, Out& out) {
  const EncodableVariant& v = value;
  switch (v.index()) {
    case kIndexOf<std::monostate>:
      out.byte(kNull);
      return true;
    case kIndexOf<bool>:
      out.byte(*std::get_if<bool>(&v) ? kTrue : kFalse);
      return true;
    case kIndexOf<int32_t>:
      out.tagged(kInt32, *std::get_if<int32_t>(&v));
      return true;
    case kIndexOf<int64_t>:
      out.tagged(kInt64, *std::get_if<int64_t>(&v));
      return true;
    case kIndexOf<double>:
      out.float64(*std::get_if<double>(&v));
      return true;
    case kIndexOf<std::string>:
      return out.text(*std::get_if<std::string>(&v));
    case kIndexOf<std::vector<uint8_t>>:
      out.typedList(kUInt8List, *std::get_if<std::vector<uint8_t>>(&v));
      return true;
    case kIndexOf<std::vector<int32_t>>:
      out.typedList(kInt32List, *std::get_if<std::vector<int32_t>>(&v));
      return true;
    case kIndexOf<std::vector<int64_t>>:
      out.typedList(kInt64List, *std::get_if<std::vector<int64_t>>(&v));
      return true;
    case kIndexOf<std::vector<float>>:
      out.typedList(kFloat32List, *std::get_if<std::vector<float>>(&v));
      return true;
    case kIndexOf<std::vector<double>>:
      out.typedList(kFloat64List, *std::get_if<std::vector<double>>(&v));
      return true;
    case kIndexOf<EncodableList>:
      return encodeList(*std::get_if<EncodableList>(&v), out);
    case kIndexOf<EncodableMap>:
      return encodeMap(*std::get_if<EncodableMap>(&v), out);
    default:  // an extension value (or a value left empty by a failed assignment)
      return false;
  }
}

}  // namespace standard_encoding
