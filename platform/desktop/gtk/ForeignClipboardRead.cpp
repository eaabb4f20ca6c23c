#include "platform/desktop/gtk/ForeignClipboardRead.h"

#include "platform/desktop/FileClipboardFormats.h"
#include "platform/dispatch/MainThread.h"

namespace platform {

namespace {

using Read = std::shared_ptr<ForeignClipboardRead>;

// Takes back the reference an asynchronous answer held.
Read adopt(gpointer read) {
  std::unique_ptr<Read> held(static_cast<Read*>(read));
  return *held;
}

std::string atomName(GdkAtom atom) {
  gchar* name = gdk_atom_name(atom);
  std::string text = name != nullptr ? name : "";
  g_free(name);
  return text;
}

}  // namespace

ForeignClipboardRead::ForeignClipboardRead(GtkClipboard* clipboard,
                                           std::optional<std::string> modeType,
                                           std::chrono::milliseconds timeout)
    : clipboard_(clipboard), modeType_(std::move(modeType)), timeout_(timeout) {}

gpointer ForeignClipboardRead::keepAlive() { return new Read(shared_from_this()); }

void ForeignClipboardRead::release(gpointer read) { delete static_cast<Read*>(read); }

void ForeignClipboardRead::begin() {
  assertMainThread();
  timer_ = g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(timeout_.count()), timedOut,
                              keepAlive(), release);
  gtk_clipboard_request_targets(clipboard_, receivedTargets, keepAlive());
}

gboolean ForeignClipboardRead::timedOut(gpointer read) {
  auto& self = **static_cast<Read*>(read);
  self.timer_ = 0;
  self.finish(std::nullopt);
  return G_SOURCE_REMOVE;
}

void ForeignClipboardRead::receivedTargets(GtkClipboard*, GdkAtom* atoms, gint count,
                                           gpointer read) {
  const Read self = adopt(read);
  if (self->finished()) return;
  std::vector<std::string> offered;
  for (gint index = 0; index < count; ++index) offered.push_back(atomName(atoms[index]));
  self->toFetch_ = clipboard_formats::targetsToFetch(offered, self->modeType_);
  self->fetchNext();
}

void ForeignClipboardRead::fetchNext() {
  if (toFetch_.empty()) {
    finish(clipboard_formats::itemsOfFetched(fetched_, modeType_));
    return;
  }
  const GdkAtom target = gdk_atom_intern(toFetch_.front().c_str(), FALSE);
  gtk_clipboard_request_contents(clipboard_, target, receivedData, keepAlive());
}

void ForeignClipboardRead::receivedData(GtkClipboard*, GtkSelectionData* data, gpointer read) {
  const Read self = adopt(read);
  if (self->finished()) return;
  const gint length = data != nullptr ? gtk_selection_data_get_length(data) : -1;
  if (length >= 0) {
    const auto* bytes = reinterpret_cast<const char*>(gtk_selection_data_get_data(data));
    self->fetched_[self->toFetch_.front()] =
        std::string(bytes != nullptr ? bytes : "", static_cast<size_t>(length));
  }
  self->toFetch_.erase(self->toFetch_.begin());
  self->fetchNext();
}

void ForeignClipboardRead::finish(std::optional<std::vector<NSPasteboardItem>> items) {
  if (timer_ != 0) g_source_remove(std::exchange(timer_, 0));
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
    items_ = std::move(items);
  }
  done_.notify_all();
}

bool ForeignClipboardRead::finished() const {
  std::lock_guard lock(mutex_);
  return finished_;
}

std::optional<std::vector<NSPasteboardItem>> ForeignClipboardRead::wait(
    std::chrono::milliseconds patience) {
  if (isMainThread()) {
    // The timer ends the read at the latest, so the loop is turned a bounded time.
    while (!finished()) g_main_context_iteration(nullptr, TRUE);
  } else {
    std::unique_lock lock(mutex_);
    if (!done_.wait_for(lock, patience, [this] { return finished_; })) return std::nullopt;
  }
  std::lock_guard lock(mutex_);
  return std::move(items_);
}

}  // namespace platform
