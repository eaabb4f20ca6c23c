#pragma once

#include <optional>
#include <vector>

#include "platform/AppKit/NSPasteboardItem.h"

namespace platform {

// The clipboard of a real desktop, shared with the other programs there, behind the general
// pasteboard. NSPasteboard keeps the application's own contents itself; the server offers
// them to the other programs, fetches theirs, and reports through
// platform::PasteboardControl when another program takes the clipboard. The desktop model
// has none: its pasteboard lives in the process. Every member is safe from any thread.
class PasteboardServer {
 public:
  virtual ~PasteboardServer() = default;

  // The application changed its own contents (cleared or wrote them): the desktop's
  // clipboard becomes the application's, offering what the general pasteboard holds when
  // another program asks.
  virtual void offerOwnContents() = 0;

  // What the program that owns the clipboard offers, as pasteboard items; nothing when no
  // answer came in time (the caller then sees an empty pasteboard, and asks again later).
  virtual std::optional<std::vector<NSPasteboardItem>> fetchForeignContents() = 0;
};

// The desktop's clipboard server, or null on the desktop model.
PasteboardServer* pasteboardServer();
// Installs it at start-up, before other threads use the pasteboard; it must outlive them.
void installPasteboardServer(PasteboardServer* server);

}  // namespace platform
