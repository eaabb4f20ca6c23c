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
// then each one worth fetching, in turn, without blocking the main loop. It ends when all
// have answered, or when `timeout` has passed since it began: a program that never answers
// costs the reader that long, and the read then has no answer.
class ForeignClipboardRead : public std::enable_shared_from_this<ForeignClipboardRead> {
 public:
  ForeignClipboardRead(GtkClipboard* clipboard, std::optional<std::string> modeType,
                       std::chrono::milliseconds timeout);

  // Asks for the targets. Main thread.
  void begin();
  // The items read, or nothing when the time ran out. On the main thread it turns the main
  // loop (the other program's answers arrive through it) until the read ends; elsewhere it
  // waits up to `patience` for the main thread to end it.
  std::optional<std::vector<NSPasteboardItem>> wait(std::chrono::milliseconds patience);

 private:
  static void receivedTargets(GtkClipboard*, GdkAtom* atoms, gint count, gpointer read);
  static void receivedData(GtkClipboard*, GtkSelectionData* data, gpointer read);
  static gboolean timedOut(gpointer read);
  static void release(gpointer read);

  // Each asynchronous answer holds the read alive until it comes.
  gpointer keepAlive();
  void fetchNext();
  void finish(std::optional<std::vector<NSPasteboardItem>> items);
  bool finished() const;

  GtkClipboard* clipboard_;
  const std::optional<std::string> modeType_;
  const std::chrono::milliseconds timeout_;
  // Main thread only.
  guint timer_ = 0;
  std::vector<std::string> toFetch_;
  std::map<std::string, std::string> fetched_;

  mutable std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::optional<std::vector<NSPasteboardItem>> items_;
};

}  // namespace platform
