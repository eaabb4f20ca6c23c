#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/Foundation/NSDate.h"

// A property-list object (the platform's `id` for plist values): a string, an integer, a
// real, a boolean, a date, data, an array or a dictionary with string keys. A value type;
// nil is an absent value (nullptr where a pointer is handed out).
class PropertyList {
 public:
  using Data = std::vector<uint8_t>;
  using Array = std::vector<PropertyList>;
  using Dictionary = std::map<std::string, PropertyList>;
  using Date = std::shared_ptr<const NSDate>;  // never null
  using Value = std::variant<std::string, int64_t, double, bool, Date, Data, Array, Dictionary>;

  PropertyList(std::string value) : value_(std::move(value)) {}
  PropertyList(const char* value) : value_(std::string(value)) {}
  PropertyList(int64_t value) : value_(value) {}
  PropertyList(int value) : value_(int64_t{value}) {}
  PropertyList(double value) : value_(value) {}
  PropertyList(bool value) : value_(value) {}
  PropertyList(Date value);
  PropertyList(Data value) : value_(std::move(value)) {}
  PropertyList(Array value) : value_(std::move(value)) {}
  PropertyList(Dictionary value) : value_(std::move(value)) {}

  // Reads a property list in XML or binary form (told apart by its first bytes). Nothing
  // when the bytes are not a whole, well-formed property list, or when it nests arrays and
  // dictionaries more than 512 deep. Strings and keys are well-formed UTF-8 (ill-formed
  // bytes become U+FFFD) and keep NUL bytes inside them.
  static std::optional<PropertyList> fromMemory(std::string_view bytes);
  // The same, saying what is wrong in `problem` (words that follow the file's name).
  static std::optional<PropertyList> fromMemory(std::string_view bytes, std::string* problem);
  // Reads the regular file at `path` (XML or binary), of at most 1 MiB. Nothing when the
  // file is missing, is not a regular file (a directory in its place), is larger, cannot
  // be read or is malformed; `problem`, when given, then says which.
  static std::optional<PropertyList> fromFile(const std::string& path,
                                              std::string* problem = nullptr);

  const Value& value() const { return value_; }

  // Typed access: the value when it is of that kind, else nullptr.
  const std::string* string() const { return std::get_if<std::string>(&value_); }
  const int64_t* integer() const { return std::get_if<int64_t>(&value_); }
  const double* real() const { return std::get_if<double>(&value_); }
  const bool* boolean() const { return std::get_if<bool>(&value_); }
  Date date() const;
  const Data* data() const { return std::get_if<Data>(&value_); }
  const Array* array() const { return std::get_if<Array>(&value_); }
  const Dictionary* dictionary() const { return std::get_if<Dictionary>(&value_); }

  // A dictionary's value for `key`; nullptr when absent or when this is no dictionary.
  std::shared_ptr<const PropertyList> objectForKey(const std::string& key) const;

  bool operator==(const PropertyList& other) const;

 private:
  Value value_;
};
