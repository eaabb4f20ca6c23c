#pragma once

#include <optional>
#include <string>
#include <vector>

#include "macos/Flutter/codec/EncodableValue.h"

// The options of a dialog call, read leniently from the call's arguments: a key that is
// missing, or whose value is of another type than the one expected, reads as nothing and
// the caller takes its default. Arguments that are not a map, or a map with any key that
// is not a string, read as an empty map: every option takes its default.
class FileDialogArguments {
 public:
  explicit FileDialogArguments(const EncodableValue& arguments);

  std::optional<std::string> string(const std::string& key) const;
  std::optional<bool> boolean(const std::string& key) const;
  // Nothing unless the value is a list that holds only strings: one element of another
  // type makes the whole list count as absent.
  std::optional<std::vector<std::string>> stringList(const std::string& key) const;

 private:
  const EncodableValue* find(const std::string& key) const;

  const EncodableMap* map_ = nullptr;
};
