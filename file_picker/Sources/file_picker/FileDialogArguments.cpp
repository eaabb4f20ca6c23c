#include "file_picker/Sources/file_picker/FileDialogArguments.h"

#include <algorithm>

namespace {

bool hasOnlyStringKeys(const EncodableMap& map) {
  return std::all_of(map.begin(), map.end(),
                     [](const EncodableMap::Entry& entry) { return entry.first.string(); });
}

}  // namespace

FileDialogArguments::FileDialogArguments(const EncodableValue& arguments) {
  const EncodableMap* map = arguments.map();
  if (map && hasOnlyStringKeys(*map)) map_ = map;
}

const EncodableValue* FileDialogArguments::find(const std::string& key) const {
  return map_ ? map_->find(EncodableValue(key)) : nullptr;
}

std::optional<std::string> FileDialogArguments::string(const std::string& key) const {
  const EncodableValue* value = find(key);
  if (!value || !value->string()) return std::nullopt;
  return *value->string();
}

std::optional<bool> FileDialogArguments::boolean(const std::string& key) const {
  const EncodableValue* value = find(key);
  if (!value || !value->boolean()) return std::nullopt;
  return *value->boolean();
}

std::optional<std::vector<std::string>> FileDialogArguments::stringList(
    const std::string& key) const {
  const EncodableValue* value = find(key);
  if (!value || !value->list()) return std::nullopt;
  std::vector<std::string> strings;
  strings.reserve(value->list()->size());
  for (const EncodableValue& element : *value->list()) {
    if (!element.string()) return std::nullopt;
    strings.push_back(*element.string());
  }
  return strings;
}
