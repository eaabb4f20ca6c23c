#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

class EncodableValue;
struct EncodableMapEntry;

using EncodableList = std::vector<EncodableValue>;

// A map whose entries keep the writer's insertion order, as they travel on the wire.
// Keys may be any value. Equality ignores order.
class EncodableMap {
 public:
  using Entry = EncodableMapEntry;

  // Defined below, where the entry type is complete.
  EncodableMap();
  ~EncodableMap();
  EncodableMap(const EncodableMap& other);
  EncodableMap(EncodableMap&& other) noexcept;
  EncodableMap& operator=(const EncodableMap& other);
  EncodableMap& operator=(EncodableMap&& other) noexcept;
  EncodableMap(std::initializer_list<Entry> entries);

  // Sets `key` to `value`: replaces the value of an existing key in place, else appends.
  void set(EncodableValue key, EncodableValue value);
  // Appends without looking for an existing key (decoding; see removeDuplicateKeys()).
  void append(EncodableValue key, EncodableValue value);
  // Appends an entry of two nulls, without looking for an existing key, for a decoder to
  // read its key and value into where they stay (see removeDuplicateKeys()).
  Entry& appendEntry();
  // Keeps the last value of each key, at the place of the key's first appearance.
  void removeDuplicateKeys();

  const EncodableValue* find(const EncodableValue& key) const;
  const EncodableValue* find(const char* key) const;

  size_t size() const;
  bool empty() const;
  void reserve(size_t count);
  std::vector<Entry>::const_iterator begin() const;
  std::vector<Entry>::const_iterator end() const;

  friend bool operator==(const EncodableMap& a, const EncodableMap& b);

 private:
  std::vector<Entry> entries_;
};

// A value of a type that a derived codec adds: its type byte (128 to 255) and the value it
// carries, read and written by that codec.
struct CustomEncodableValue {
  uint8_t type = 128;
  std::shared_ptr<const EncodableValue> value;

  CustomEncodableValue(uint8_t typeByte, EncodableValue carried);
  const EncodableValue& carried() const { return *value; }
  friend bool operator==(const CustomEncodableValue& a, const CustomEncodableValue& b);
};

using EncodableVariant =
    std::variant<std::monostate, bool, int32_t, int64_t, double, std::string, std::vector<uint8_t>,
                 std::vector<int32_t>, std::vector<int64_t>, std::vector<float>,
                 std::vector<double>, EncodableList, EncodableMap, CustomEncodableValue>;

// A value of Flutter's standard message codec.
class EncodableValue : public EncodableVariant {
 public:
  using EncodableVariant::EncodableVariant;
  using EncodableVariant::operator=;

  EncodableValue() = default;
  EncodableValue(const char* text) : EncodableVariant(std::string(text)) {}  // NOLINT

  bool isNull() const { return std::holds_alternative<std::monostate>(*this); }
  // An integer of either width, as decoders must accept both.
  std::optional<int64_t> integer() const;
  const std::string* string() const { return std::get_if<std::string>(this); }
  const EncodableList* list() const { return std::get_if<EncodableList>(this); }
  const EncodableMap* map() const { return std::get_if<EncodableMap>(this); }
  const bool* boolean() const { return std::get_if<bool>(this); }
  const double* float64() const { return std::get_if<double>(this); }

  const EncodableVariant& variant() const { return *this; }

  // Value equality: same alternative and same contents; doubles compare by bit pattern,
  // so a value always equals itself (NaN included) and 0.0 differs from -0.0.
  friend bool operator==(const EncodableValue& a, const EncodableValue& b);
  friend bool operator!=(const EncodableValue& a, const EncodableValue& b) { return !(a == b); }
};

struct EncodableMapEntry {
  EncodableValue first;
  EncodableValue second;
};

inline EncodableMap::EncodableMap() = default;
inline EncodableMap::~EncodableMap() = default;
inline EncodableMap::EncodableMap(const EncodableMap& other) = default;
inline EncodableMap::EncodableMap(EncodableMap&& other) noexcept = default;
inline EncodableMap& EncodableMap::operator=(const EncodableMap& other) = default;
inline EncodableMap& EncodableMap::operator=(EncodableMap&& other) noexcept = default;
inline size_t EncodableMap::size() const { return entries_.size(); }
inline bool EncodableMap::empty() const { return entries_.empty(); }
inline void EncodableMap::reserve(size_t count) { entries_.reserve(count); }
inline EncodableMap::Entry& EncodableMap::appendEntry() { return entries_.emplace_back(); }
inline std::vector<EncodableMap::Entry>::const_iterator EncodableMap::begin() const {
  return entries_.begin();
}
inline std::vector<EncodableMap::Entry>::const_iterator EncodableMap::end() const {
  return entries_.end();
}

// A total order on values (alternative first, then contents), for sorting map keys.
int compareValues(const EncodableValue& a, const EncodableValue& b);
