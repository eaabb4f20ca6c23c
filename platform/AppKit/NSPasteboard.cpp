#include "platform/AppKit/NSPasteboard.h"

#include <algorithm>
#include <stdexcept>

#include "platform/desktop/PasteboardServer.h"

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
  return readItems([](const std::vector<NSPasteboardItem>& items) { return items; });
}

std::vector<NSPasteboardType> NSPasteboard::types() const {
  return readItems([](const std::vector<NSPasteboardItem>& items) {
    std::vector<NSPasteboardType> types;
    for (const auto& item : items) {
      for (auto& type : item.types()) {
        if (std::find(types.begin(), types.end(), type) == types.end()) types.push_back(type);
      }
    }
    return types;
  });
}

std::vector<NSPasteboardItem> NSPasteboard::foreignItems() const {
  int64_t count = 0;
  {
    std::lock_guard lock(mutex_);
    if (!foreign_) return items_;  // the application took the clipboard back meanwhile
    if (cached_ && cachedCount_ == changeCount_) return *cached_;
    count = changeCount_;
  }
  platform::PasteboardServer* server = platform::pasteboardServer();
  auto fetched = server ? server->fetchForeignContents() : std::nullopt;
  if (!fetched) return {};
  std::lock_guard lock(mutex_);
  // Kept for the reads that follow, unless the clipboard changed hands while it came.
  if (foreign_ && changeCount_ == count) {
    cached_ = *fetched;
    cachedCount_ = count;
  }
  return std::move(*fetched);
}

void NSPasteboard::offered() {
  if (platform::PasteboardServer* server = platform::pasteboardServer()) server->offerOwnContents();
}

bool NSPasteboard::ownedByCaller() const { return owner_ == std::this_thread::get_id(); }

int64_t NSPasteboard::clearContents() {
  std::vector<NSPasteboardItem> old;
  int64_t count = 0;
  {
    std::lock_guard lock(mutex_);
    old.swap(items_);  // freed once the lock is released
    owner_ = std::this_thread::get_id();
    foreign_ = false;
    cached_.reset();
    count = ++changeCount_;
  }
  offered();
  return count;
}

bool NSPasteboard::writeObjects(const std::vector<NSPasteboardObject>& objects) {
  // The items are made before taking the lock, so readers wait only for the append.
  std::vector<NSPasteboardItem> items;
  items.reserve(objects.size());
  for (const auto& object : objects) items.push_back(itemForObject(object));
  {
    std::lock_guard lock(mutex_);
    if (!ownedByCaller()) return false;
    items_.insert(items_.end(), std::make_move_iterator(items.begin()),
                  std::make_move_iterator(items.end()));
  }
  offered();
  return true;
}

bool NSPasteboard::setString(const std::string& string, const NSPasteboardType& type) {
  {
    std::lock_guard lock(mutex_);
    if (!ownedByCaller()) return false;
    if (items_.empty()) items_.emplace_back();
    items_.front().setString(string, type);
  }
  offered();
  return true;
}

std::optional<std::vector<NSPasteboardObject>> NSPasteboard::readObjectsForClasses(
    const std::vector<NSPasteboardReadingClass>& classes,
    const NSPasteboardReadingOptions& options) const {
  if (classes.empty()) return std::nullopt;
  const auto fileOnly = options.find(NSPasteboardURLReadingFileURLsOnlyKey);
  const bool fileURLsOnly = fileOnly != options.end() && fileOnly->second;
  const auto read = [&](const std::vector<NSPasteboardItem>& items) {
    std::vector<NSPasteboardObject> objects;
    objects.reserve(items.size());
    for (const auto& item : items) {
      for (const auto readingClass : classes) {
        if (auto object = objectOfItem(item, readingClass, fileURLsOnly)) {
          objects.push_back(std::move(*object));
          break;
        }
      }
    }
    return objects;
  };
  return std::optional(readItems(read));
}

std::optional<std::string> NSPasteboard::stringForType(const NSPasteboardType& type) const {
  return readItems([&](const std::vector<NSPasteboardItem>& items) -> std::optional<std::string> {
    for (const auto& item : items) {
      if (const std::string* string = item.findString(type)) return *string;
    }
    return std::nullopt;
  });
}

namespace platform {

struct PasteboardControl {
  static PasteboardContents contents(const NSPasteboard& pasteboard) {
    int64_t count = 0;
    {
      std::lock_guard lock(pasteboard.mutex_);
      if (!pasteboard.foreign_) return {pasteboard.changeCount_, pasteboard.items_};
      count = pasteboard.changeCount_;
    }
    // Another program's contents come in their own time; the count is read before them, so
    // the contents are never older than it says.
    return {count, pasteboard.foreignItems()};
  }

  static std::optional<std::vector<NSPasteboardItem>> ownItems(const NSPasteboard& pasteboard) {
    std::lock_guard lock(pasteboard.mutex_);
    if (pasteboard.foreign_) return std::nullopt;
    return pasteboard.items_;
  }

  static void forgetFetched(NSPasteboard& pasteboard) {
    std::lock_guard lock(pasteboard.mutex_);
    pasteboard.cached_.reset();
  }

  static int64_t replaceContents(NSPasteboard& pasteboard, std::vector<NSPasteboardItem> items,
                                 bool foreign) {
    std::erase_if(items, [](const NSPasteboardItem& item) { return item.empty(); });
    std::optional<std::vector<NSPasteboardItem>> cached;
    std::lock_guard lock(pasteboard.mutex_);
    pasteboard.items_.swap(items);  // the old items go with `items`, after the lock
    pasteboard.cached_.swap(cached);
    pasteboard.owner_ = std::thread::id();
    pasteboard.foreign_ = foreign;
    return ++pasteboard.changeCount_;
  }
};

PasteboardContents generalPasteboardContents() {
  return PasteboardControl::contents(*NSPasteboard::generalPasteboard());
}

int64_t writeGeneralPasteboardFromAnotherApplication(std::vector<NSPasteboardItem> items) {
  if (pasteboardServer() != nullptr)
    throw std::invalid_argument(
        "the clipboard of a real desktop is written by the programs running there");
  return PasteboardControl::replaceContents(*NSPasteboard::generalPasteboard(), std::move(items),
                                            false);
}

std::optional<std::vector<NSPasteboardItem>> applicationPasteboardItems() {
  return PasteboardControl::ownItems(*NSPasteboard::generalPasteboard());
}

int64_t anotherProgramTookGeneralPasteboard() {
  return PasteboardControl::replaceContents(*NSPasteboard::generalPasteboard(), {}, true);
}

namespace {

std::mutex modeTypeMutex;
std::optional<NSPasteboardType> declaredModeType;

}  // namespace

void declareFileOperationModeType(const NSPasteboardType& type) {
  {
    std::lock_guard lock(modeTypeMutex);
    declaredModeType = type;
  }
  // Another program's contents fetched before are read again, with the mode this time.
  PasteboardControl::forgetFetched(*NSPasteboard::generalPasteboard());
}

std::optional<NSPasteboardType> fileOperationModeType() {
  std::lock_guard lock(modeTypeMutex);
  return declaredModeType;
}

}  // namespace platform
