#pragma once

#include <gtk/gtk.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/AppKit/NSPasteboardItem.h"

namespace platform {

// One read of what another program offers on the clipboard: first the targets it offers,
// then each one worth fetching, in turn, without blocking the main loop. Each read asks
// through a window of its own: GTK keeps the record of a large (incremental) transfer for up
// to a second after it ends, and refuses the window that received it another one meanwhile. It ends
// when all have answered, or when the program is late: `targetsTimeout` for the targets (a program
// that never answers costs the reader that long), then `contentsTimeout` for the rest (a
// large list comes in many pieces). A late read has no answer.
class ForeignClipboardRead : public std::enable_shared_from_this<ForeignClipboardRead> {
 public:
  ForeignClipboardRead(GdkDisplay* display, std::optional<std::string> modeType,
                       std::chrono::milliseconds targetsTimeout,
                       std::chrono::milliseconds contentsTimeout);

  // Asks for the targets. Main thread.
  void begin();
  // While this read still waits for the other program (even after it ended, late), a second
  // transfer would mix with its own: `later` then gets this read's answer instead, and this
  // returns true. Main thread.
  bool shareAnswerWith(const std::shared_ptr<ForeignClipboardRead>& later);
  // The items read, or nothing when the time ran out. On the main thread it turns the main
  // loop (the other program's answers arrive through it) until the read ends; elsewhere it
  // waits up to `patience` for the main thread to end it.
  std::optional<std::vector<NSPasteboardItem>> wait(std::chrono::milliseconds patience);

 private:
  static void received(GtkWidget*, GtkSelectionData* data, guint, gpointer read);
  static gboolean timedOut(gpointer read);
  static void release(gpointer read);

  // The timer holds the read alive until it is removed.
  gpointer keepAlive();
  void startTimer(std::chrono::milliseconds timeout);
  // Asks the clipboard's owner for `target`, through the read's own window.
  void request(const std::string& target);
  void takeTargets(GtkSelectionData* data);
  void takeContents(GtkSelectionData* data);
  void fetchNext();
  // Once nothing is outstanding and the read has ended, its window goes.
  void retireWhenDone();
  void finish(std::optional<std::vector<NSPasteboardItem>> items);
  bool finished() const;

  GdkDisplay* display_;
  const std::optional<std::string> modeType_;
  const std::chrono::milliseconds targetsTimeout_, contentsTimeout_;
  // Main thread only.
  guint timer_ = 0;
  GtkWidget* requestor_ = nullptr;
  std::shared_ptr<ForeignClipboardRead> whileRequesting_;  // alive as long as its window
  std::string requested_;
  int outstanding_ = 0;  // requests the other program has not answered yet
  std::vector<std::string> toFetch_;
  std::map<std::string, std::string> fetched_;
  std::vector<std::shared_ptr<ForeignClipboardRead>> sharers_;

  mutable std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::optional<std::vector<NSPasteboardItem>> items_;
};

}  // namespace platform
