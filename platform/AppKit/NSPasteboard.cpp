#include "platform/AppKit/NSPasteboard.h"

#include <algorithm>

namespace {

// The type names as strings, made once, for the lookups each item needs.
const NSPasteboardType kFileURLType = NSPasteboardTypeFileURL;
const NSPasteboardType kURLType = NSPasteboardTypeURL;
const NSPasteboardType kStringType = NSPasteboardTypeString;

NSPasteboardItem itemForObject(const NSPasteboardObject& object) {
  NSPasteboardItem item;
  if (const URL* url = std::get_if<URL>(&object)) {
    item.setString(url->absoluteString(), url->isFileURL() ? kFileURLType : kURLType);
  } else {
    item.setString(std::get<std::string>(object), kStringType);
  }
  return item;
}

std::optional<URL> urlOfItem(const NSPasteboardItem& item, bool fileURLsOnly) {
  const std::string* text = item.findString(kFileURLType);
  if (text == nullptr) text = item.findString(kURLType);
  if (text == nullptr) return std::nullopt;
  auto url = URL::fromString(*text);
  if (!url || (fileURLsOnly && !url->isFileURL())) return std::nullopt;
  return url;
}

std::optional<NSPasteboardObject> objectOfItem(const NSPasteboardItem& item,
                                               NSPasteboardReadingClass readingClass,
                                               bool fileURLsOnly) {
  switch (readingClass) {
    case NSPasteboardReadingClass::NSURL:
      if (auto url = urlOfItem(item, fileURLsOnly)) return NSPasteboardObject(std::move(*url));
      return std::nullopt;
    case NSPasteboardReadingClass::NSString:
      if (const std::string* string = item.findString(kStringType)) return *string;
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::shared_ptr<NSPasteboard> NSPasteboard::generalPasteboard() {
  static const auto general = std::make_shared<NSPasteboard>();
  return general;
}

int64_t NSPasteboard::changeCount() const {
  std::lock_guard lock(mutex_);
  return changeCount_;
}

std::vector<NSPasteboardItem> NSPasteboard::pasteboardItems() const {
  std::lock_guard lock(mutex_);
  return items_;
}

std::vector<NSPasteboardType> NSPasteboard::types() const {
  std::lock_guard lock(mutex_);
  std::vector<NSPasteboardType> types;
  for (const auto& item : items_) {
    for (auto& type : item.types()) {
      if (std::find(types.begin(), types.end(), type) == types.end()) types.push_back(type);
    }
  }
  return types;
}

bool NSPasteboard::ownedByCaller() const { return owner_ == std::this_thread::get_id(); }

int64_t NSPasteboard::clearContents() {
  std::vector<NSPasteboardItem> old;
  std::lock_guard lock(mutex_);
  old.swap(items_);  // freed once the lock is released
  owner_ = std::this_thread::get_id();
  return ++changeCount_;
}

bool NSPasteboard::writeObjects(const std::vector<NSPasteboardObject>& objects) {
  // The items are made before taking the lock, so readers wait only for the append.
  std::vector<NSPasteboardItem> items;
  items.reserve(objects.size());
  for (const auto& object : objects) items.push_back(itemForObject(object));
  std::lock_guard lock(mutex_);
  if (!ownedByCaller()) return false;
  items_.insert(items_.end(), std::make_move_iterator(items.begin()),
                std::make_move_iterator(items.end()));
  return true;
}

bool NSPasteboard::setString(const std::string& string, const NSPasteboardType& type) {
  std::lock_guard lock(mutex_);
  if (!ownedByCaller()) return false;
  if (items_.empty()) items_.emplace_back();
  items_.front().setString(string, type);
  return true;
}

std::optional<std::vector<NSPasteboardObject>> NSPasteboard::readObjectsForClasses(
    const std::vector<NSPasteboardReadingClass>& classes,
    const NSPasteboardReadingOptions& options) const {
  if (classes.empty()) return std::nullopt;
  const auto fileOnly = options.find(NSPasteboardURLReadingFileURLsOnlyKey);
  const bool fileURLsOnly = fileOnly != options.end() && fileOnly->second;
  std::vector<NSPasteboardObject> objects;
  // The objects are made straight from the items, which saves copying every item first;
  // writers wait meanwhile.
  std::lock_guard lock(mutex_);
  objects.reserve(items_.size());
  for (const auto& item : items_) {
    for (const auto readingClass : classes) {
      if (auto object = objectOfItem(item, readingClass, fileURLsOnly)) {
        objects.push_back(std::move(*object));
        break;
      }
    }
  }
  return objects;
}

std::optional<std::string> NSPasteboard::stringForType(const NSPasteboardType& type) const {
  std::lock_guard lock(mutex_);
  for (const auto& item : items_) {
    if (const std::string* string = item.findString(type)) return *string;
  }
  return std::nullopt;
}

namespace platform {

struct PasteboardControl {
  static PasteboardContents contents(const NSPasteboard& pasteboard) {
    std::lock_guard lock(pasteboard.mutex_);
    return {pasteboard.changeCount_, pasteboard.items_};
  }

  static int64_t replaceContents(NSPasteboard& pasteboard, std::vector<NSPasteboardItem> items) {
    std::erase_if(items, [](const NSPasteboardItem& item) { return item.empty(); });
    std::lock_guard lock(pasteboard.mutex_);
    pasteboard.items_.swap(items);  // the old items go with `items`, after the lock
    pasteboard.owner_ = std::thread::id();
    return ++pasteboard.changeCount_;
  }
};

PasteboardContents generalPasteboardContents() {
  return PasteboardControl::contents(*NSPasteboard::generalPasteboard());
}

int64_t writeGeneralPasteboardFromAnotherApplication(std::vector<NSPasteboardItem> items) {
  return PasteboardControl::replaceContents(*NSPasteboard::generalPasteboard(), std::move(items));
}

}  // namespace platform
