#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// A pasteboard type: a uniform type identifier such as "public.file-url", or an
// application's own reverse-DNS name.
using NSPasteboardType = std::string;

inline constexpr char NSPasteboardTypeString[] = "public.utf8-plain-text";
inline constexpr char NSPasteboardTypeURL[] = "public.url";
inline constexpr char NSPasteboardTypeFileURL[] = "public.file-url";

// One item on a pasteboard: the representations it offers, each a type with its string
// value, in the order they were written. An item is a value here: the pasteboard hands out
// copies, so a reader's item never changes under it.
class NSPasteboardItem {
 public:
  NSPasteboardItem() = default;
  NSPasteboardItem(std::initializer_list<std::pair<NSPasteboardType, std::string>> entries);

  // The item's types, in the order they were first written.
  std::vector<NSPasteboardType> types() const;
  bool hasType(const NSPasteboardType& type) const;
  // The string stored under `type`, or nothing when the item does not offer it.
  std::optional<std::string> stringForType(const NSPasteboardType& type) const;
  // The same without a copy: the stored string, valid while the item is, or null.
  const std::string* findString(const NSPasteboardType& type) const;
  // Stores `string` under `type`: replaces the value of a type the item already offers
  // (keeping its place), else adds the type after the others.
  void setString(std::string string, const NSPasteboardType& type);

  bool empty() const { return entries_.empty(); }
  friend bool operator==(const NSPasteboardItem&, const NSPasteboardItem&) = default;

 private:
  using Entry = std::pair<NSPasteboardType, std::string>;
  // The index of `type`'s entry, or the number of entries when the item lacks it.
  size_t indexOf(const NSPasteboardType& type) const;

  std::vector<Entry> entries_;
};
