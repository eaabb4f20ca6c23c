#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "platform/AppKit/NSPasteboardItem.h"
#include "platform/Foundation/NSObject.h"
#include "platform/Foundation/URL.h"

namespace platform {
struct PasteboardControl;
}

// The objects that write and read themselves on a pasteboard. A URL writes one item of
// type "public.file-url" when it is a file URL, else "public.url", holding its URL text;
// a string writes one item of type "public.utf8-plain-text".
using NSPasteboardObject = std::variant<std::string, URL>;

// The classes readObjectsForClasses:options: can be asked for, as `[NSURL class]` and
// `[NSString class]` are named on the platform.
enum class NSPasteboardReadingClass { NSURL, NSString };

// Reading options: each key mapped to a boolean.
using NSPasteboardReadingOptionKey = std::string;
using NSPasteboardReadingOptions = std::map<NSPasteboardReadingOptionKey, bool>;
// With true: URLs are read only when they are file URLs.
inline constexpr char NSPasteboardURLReadingFileURLsOnlyKey[] =
    "NSPasteboardURLReadingFileURLsOnlyKey";

// The system's general pasteboard, as the desktop model keeps it: a list of items, each
// with types and their strings, and a change count that each clearing raises.
//
// Every operation is safe from any thread and happens in one step, so a reader sees the
// contents as they were before or after any other operation, never half of one.
//
// Writing belongs to whoever cleared the pasteboard last: `clearContents` makes the
// calling thread the owner of the new contents. `writeObjects` and `setString` from any
// other thread, or once another application has written the pasteboard, write nothing and
// return false. So two threads that each clear and write cannot leave a mix of their items
// behind: what the last one to clear writes is what stays.
class NSPasteboard : public NSObject {
 public:
  NSPasteboard() = default;

  static std::shared_ptr<NSPasteboard> generalPasteboard();

  int64_t changeCount() const;
  // Copies of the items, in pasteboard order.
  std::vector<NSPasteboardItem> pasteboardItems() const;
  // Every type that some item offers, each once, in order of first appearance.
  std::vector<NSPasteboardType> types() const;

  // Removes every item, makes the calling thread the owner and returns the new change count.
  int64_t clearContents();
  // Adds one item per object, in order, after the items already there.
  bool writeObjects(const std::vector<NSPasteboardObject>& objects);
  // Stores `string` under `type` on the first item, making one on an empty pasteboard.
  bool setString(const std::string& string, const NSPasteboardType& type);

  // One object per item that can give one of `classes` (tried in the order given), in
  // pasteboard order; items that give none are passed over. Nothing when no class is given.
  std::optional<std::vector<NSPasteboardObject>> readObjectsForClasses(
      const std::vector<NSPasteboardReadingClass>& classes,
      const NSPasteboardReadingOptions& options = {}) const;
  // The string of the first item that offers `type`, or nothing.
  std::optional<std::string> stringForType(const NSPasteboardType& type) const;

 private:
  friend struct platform::PasteboardControl;

  bool ownedByCaller() const;

  mutable std::mutex mutex_;
  int64_t changeCount_ = 0;
  std::vector<NSPasteboardItem> items_;
  std::thread::id owner_;  // no thread: another application wrote last, or nobody has
};

namespace platform {

// The general pasteboard as the desktop reports it: its change count and items, read in
// one step.
struct PasteboardContents {
  int64_t changeCount = 0;
  std::vector<NSPasteboardItem> items;
};
PasteboardContents generalPasteboardContents();

// Another application takes the general pasteboard: clears it and writes `items` (items
// with no type are left out), in one step. Returns the new change count. The application's
// own threads lose the right to write until one of them clears the pasteboard again.
int64_t writeGeneralPasteboardFromAnotherApplication(std::vector<NSPasteboardItem> items);

}  // namespace platform
