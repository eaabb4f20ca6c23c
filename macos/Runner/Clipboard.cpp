#include "macos/Runner/Clipboard.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "macos/Runner/PathList.h"
#include "platform/Foundation/URL.h"
#include "platform/text/Utf8Text.h"

namespace {

constexpr char kCut[] = "cut";
constexpr char kCopy[] = "copy";

}  // namespace

const NSPasteboardType& tolvekClipboardModeType() {
  // A function-local static: made once, safely, by whichever thread comes first, and
  // declared then as the type that says whether the file URLs beside it were cut.
  static const NSPasteboardType type = [] {
    NSPasteboardType mode = "com.tolvek.app.clipboard-mode";
    platform::declareFileOperationModeType(mode);
    return mode;
  }();
  return type;
}

extern "C" void tolvek_clipboard_write_files(const char* paths, int32_t mode) {
  if (paths == nullptr) return;
  try {
    std::vector<URL> fileURLs = URL::fileURLsWithPaths(splitPathList(utf8TextFromCString(paths)));
    std::vector<NSPasteboardObject> urls;
    urls.reserve(fileURLs.size());
    for (auto& url : fileURLs) urls.emplace_back(std::move(url));
    const auto pasteboard = NSPasteboard::generalPasteboard();
    pasteboard->clearContents();
    if (!urls.empty()) pasteboard->writeObjects(urls);
    pasteboard->setString(mode != 0 ? kCut : kCopy, tolvekClipboardModeType());
  } catch (const std::exception&) {
    // Out of memory: nothing crosses the C boundary; the write is simply not made whole.
  }
}

extern "C" char* tolvek_clipboard_read_files(void) {
  try {
    tolvekClipboardModeType();  // declared before the pasteboard reads another program's mode
    const auto objects = NSPasteboard::generalPasteboard()->readObjectsForClasses(
        {NSPasteboardReadingClass::NSURL}, {{NSPasteboardURLReadingFileURLsOnlyKey, true}});
    std::string text;
    if (objects) {
      for (const auto& object : *objects) {
        const URL* url = std::get_if<URL>(&object);
        if (url == nullptr) {
          text.clear();
          break;
        }
        // A path with a line feed would come out as two paths, the second one a file the
        // user never copied; an empty path names no file. Neither is handed out.
        const std::string& path = url->path();
        if (path.empty() || path.find('\n') != std::string::npos) continue;
        appendToPathList(text, path);
      }
    }
    // Another application may have written a file URL whose escapes decode to bytes that
    // are not UTF-8; the text handed out is UTF-8 all the same.
    return ::strdup(isWellFormedUtf8(text) ? text.c_str() : utf8TextFromBytes(text).c_str());
  } catch (const std::exception&) {
    return nullptr;
  }
}

extern "C" int32_t tolvek_clipboard_is_cut(void) {
  try {
    const auto mode = NSPasteboard::generalPasteboard()->stringForType(tolvekClipboardModeType());
    return mode && *mode == kCut ? 1 : 0;
  } catch (const std::exception&) {
    return 0;
  }
}

extern "C" void tolvek_clipboard_free(char* text) { std::free(text); }
