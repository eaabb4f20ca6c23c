#pragma once

#include <string>
#include <vector>

#include "macos/Runner/Clipboard.h"
#include "platform/AppKit/NSPasteboard.h"

namespace clipboard_test {

// What tolvek_clipboard_read_files returns, released again; "<null>" for a null pointer.
inline std::string readFiles() {
  char* text = tolvek_clipboard_read_files();
  if (text == nullptr) return "<null>";
  std::string copy(text);
  tolvek_clipboard_free(text);
  return copy;
}

// The file URL text of each item on the general pasteboard that has one, in order.
inline std::vector<std::string> fileURLStrings(const platform::PasteboardContents& contents) {
  std::vector<std::string> urls;
  for (const auto& item : contents.items) {
    if (auto url = item.stringForType(NSPasteboardTypeFileURL)) urls.push_back(*url);
  }
  return urls;
}

inline std::vector<std::string> fileURLStrings() {
  return fileURLStrings(platform::generalPasteboardContents());
}

// The mode on the general pasteboard, or "<none>".
inline std::string mode() {
  return NSPasteboard::generalPasteboard()
      ->stringForType(tolvekClipboardModeType())
      .value_or("<none>");
}

// An empty pasteboard that another application wrote last.
inline void resetPasteboard() { platform::writeGeneralPasteboardFromAnotherApplication({}); }

}  // namespace clipboard_test
