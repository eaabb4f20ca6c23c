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

// The system's general pasteboard: a list of items, each with types and their strings, and
// a change count that each clearing raises. The desktop model keeps it in the process; on a
// real desktop the application's own contents stay here too, offered to the other programs
// through the desktop's clipboard, and what another program put there is fetched from it
// when read (see platform::PasteboardServer).
//
// Every operation is safe from any thread and happens in one step, so a reader sees the
// contents as they were before or after any other operation, never half of one.
//
// Writing belongs to whoever cleared the pasteboard last: `clearContents` makes the
// calling thread the owner of the new contents. `writeObjects` and `setString` from any
// other thread, or once another application has written the pasteboard, write nothing and
// return false. So two threads that each clear and write cannot leave a mix of their items
// behind: what the last one to clear writes is what stays. The change count also advances
// when another program takes a real desktop's clipboard.
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
  // Calls `read` with the items: the application's own, under the lock (writers wait
  // meanwhile, and nothing is copied), or another program's, fetched from the desktop
  // without holding it.
  template <typename Read>
  auto readItems(const Read& read) const {
    {
      std::lock_guard lock(mutex_);
      if (!foreign_) return read(items_);
    }
    return read(foreignItems());
  }
  std::vector<NSPasteboardItem> foreignItems() const;
  // The desktop learns of the application's new contents.
  void offered();

  mutable std::mutex mutex_;
  int64_t changeCount_ = 0;
  std::vector<NSPasteboardItem> items_;
  std::thread::id owner_;  // no thread: another application wrote last, or nobody has
  // Another program owns the real desktop's clipboard: its contents are the pasteboard's.
  bool foreign_ = false;
  // Another program's items as last fetched, while the change count is `cachedCount_`.
  mutable std::optional<std::vector<NSPasteboardItem>> cached_;
  mutable int64_t cachedCount_ = -1;
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
// On a real desktop other programs write its clipboard themselves: there this throws
// std::invalid_argument.
int64_t writeGeneralPasteboardFromAnotherApplication(std::vector<NSPasteboardItem> items);

// A real desktop reports that another program took its clipboard (again): the application's
// own contents are gone, its threads lose the right to write, and the change count advances.
// Returns the new change count.
int64_t anotherProgramTookGeneralPasteboard();

// The application's own contents of the general pasteboard, or nothing while another
// program's are current. What a real desktop offers the other programs for the application.
std::optional<std::vector<NSPasteboardItem>> applicationPasteboardItems();

// File managers on a real desktop mark files on the clipboard as cut or copied in forms of
// their own. The application names the pasteboard type under which it writes "cut" or
// "copy" beside its file URLs, so that a real desktop offers those forms with its file URLs
// and reads them back under this type. The model keeps what the application wrote, as is.
void declareFileOperationModeType(const NSPasteboardType& type);
// The type declared, or nothing.
std::optional<NSPasteboardType> fileOperationModeType();

}  // namespace platform
