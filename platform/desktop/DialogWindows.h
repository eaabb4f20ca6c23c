#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/AppKit/AppKitTypes.h"
#include "platform/CoreGraphics/CGGeometry.h"

namespace platform {

// A file dialog that a window server shows as a window of its own (the real desktop's
// dialog for a panel), as the desktop control reports windows: its id (a window number no
// NSWindow has), the class of the panel it shows, its title, frame and visibility.
struct DialogWindow {
  NSInteger id = 0;
  std::string className;
  std::string title;
  NSRect frame{};
  bool visible = false;
};

// What a window server that shows panels as dialog windows tells of them. Main thread only.
class DialogWindows {
 public:
  virtual ~DialogWindows() = default;
  // The dialogs up, oldest first.
  virtual std::vector<DialogWindow> dialogWindows() const = 0;
  // The dialog `id` as drawn, as PNG bytes at its scale; nothing when no dialog has that id.
  virtual std::optional<std::vector<uint8_t>> dialogSnapshot(NSInteger id) const = 0;
};

// The installed window server's dialog windows: none on a window server that shows none.
std::vector<DialogWindow> dialogWindows();
std::optional<std::vector<uint8_t>> dialogSnapshot(NSInteger id);

// A window number no other window has, for a window the window server makes by itself.
NSInteger nextWindowNumber();

}  // namespace platform
