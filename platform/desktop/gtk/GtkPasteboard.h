#pragma once

#include <gtk/gtk.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/desktop/PasteboardServer.h"

class NSObject;

namespace platform {
class ForeignClipboardRead;
}

namespace platform {

// The general pasteboard on the desktop's clipboard (the CLIPBOARD selection on X11):
// while the application's own contents are current the application owns the clipboard and
// answers other programs in their formats (see clipboard_formats); otherwise reads fetch what
// the owning program offers. The clipboard itself is the main thread's: other threads queue
// their part to it.
class GtkPasteboard final : public PasteboardServer {
 public:
  // Made once, on the main thread, and kept for the life of the process: threads that read
  // the pasteboard as the process ends may still reach it.
  static GtkPasteboard& install(GdkDisplay* display);

  void offerOwnContents() override;
  std::optional<std::vector<NSPasteboardItem>> fetchForeignContents() override;

 private:
  explicit GtkPasteboard(GdkDisplay* display);

  // Takes the clipboard for the application's current contents. Main thread.
  void claim();
  // Starts `read`, unless the latest read still waits for the same program: then `read`
  // gets its answer, as a second transfer from it would mix with the first. Main thread.
  void beginOrShare(const std::shared_ptr<ForeignClipboardRead>& read);
  // The application quits: a clipboard manager, when one runs, keeps what it owns.
  void storeForClipboardManager();

  static void provide(GtkClipboard*, GtkSelectionData* data, guint, gpointer claim);
  static void released(GtkClipboard*, gpointer claim);
  static void ownerChanged(GtkClipboard*, GdkEvent*, gpointer self);

  GdkDisplay* display_;
  GtkClipboard* clipboard_;
  // The display reports every change of the clipboard's owner (XFixes on X11).
  bool ownerChangesReported_;
  std::atomic<bool> claimQueued_{false};
  // Main thread only: the number of the latest claim, and whether it still holds.
  uintptr_t claims_ = 0;
  bool owned_ = false;
  std::shared_ptr<NSObject> terminationObserver_;
  // Main thread only: the latest read, and the change count of the owner it asked.
  std::shared_ptr<ForeignClipboardRead> latestRead_;
  int64_t latestReadOwner_ = -1;
};

}  // namespace platform
