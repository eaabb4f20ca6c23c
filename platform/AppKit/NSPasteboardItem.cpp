#include "platform/AppKit/NSPasteboardItem.h"

#include <algorithm>

NSPasteboardItem::NSPasteboardItem(
    std::initializer_list<std::pair<NSPasteboardType, std::string>> entries) {
  for (const auto& [type, string] : entries) setString(string, type);
}

std::vector<NSPasteboardType> NSPasteboardItem::types() const {
  std::vector<NSPasteboardType> types;
  types.reserve(entries_.size());
  for (const auto& entry : entries_) types.push_back(entry.first);
  return types;
}

size_t NSPasteboardItem::indexOf(const NSPasteboardType& type) const {
  const auto entry = std::find_if(entries_.begin(), entries_.end(),
                                  [&](const Entry& candidate) { return candidate.first == type; });
  return static_cast<size_t>(entry - entries_.begin());
}

bool NSPasteboardItem::hasType(const NSPasteboardType& type) const {
  return indexOf(type) < entries_.size();
}

std::optional<std::string> NSPasteboardItem::stringForType(const NSPasteboardType& type) const {
  const std::string* string = findString(type);
  if (string == nullptr) return std::nullopt;
  return *string;
}

const std::string* NSPasteboardItem::findString(const NSPasteboardType& type) const {
  const size_t index = indexOf(type);
  return index < entries_.size() ? &entries_[index].second : nullptr;
}

void NSPasteboardItem::setString(std::string string, const NSPasteboardType& type) {
  const size_t index = indexOf(type);
  if (index < entries_.size()) {
    entries_[index].second = std::move(string);
  } else {
    entries_.emplace_back(type, std::move(string));
  }
}
