#include "platform/desktop/gtk/ForeignClipboardRead.h"

#include "platform/desktop/FileClipboardFormats.h"
#include "platform/dispatch/MainThread.h"

namespace platform {

namespace {

using Read = std::shared_ptr<ForeignClipboardRead>;

constexpr char kTargets[] = "TARGETS";

std::string atomName(GdkAtom atom) {
  gchar* name = gdk_atom_name(atom);
  std::string text = name != nullptr ? name : "";
  g_free(name);
  return text;
}

gboolean destroyWidget(gpointer widget) {
  gtk_widget_destroy(static_cast<GtkWidget*>(widget));
  return G_SOURCE_REMOVE;
}

}  // namespace

ForeignClipboardRead::ForeignClipboardRead(GdkDisplay* display, std::optional<std::string> modeType,
                                           std::chrono::milliseconds targetsTimeout,
                                           std::chrono::milliseconds contentsTimeout)
    : display_(display),
      modeType_(std::move(modeType)),
      targetsTimeout_(targetsTimeout),
      contentsTimeout_(contentsTimeout) {}

gpointer ForeignClipboardRead::keepAlive() { return new Read(shared_from_this()); }

void ForeignClipboardRead::release(gpointer read) { delete static_cast<Read*>(read); }

void ForeignClipboardRead::begin() {
  assertMainThread();
  requestor_ = gtk_invisible_new_for_screen(gdk_display_get_default_screen(display_));
  whileRequesting_ = shared_from_this();
  g_signal_connect(requestor_, "selection-received", G_CALLBACK(received), this);
  startTimer(targetsTimeout_);
  request(kTargets);
}

void ForeignClipboardRead::startTimer(std::chrono::milliseconds timeout) {
  if (timer_ != 0) g_source_remove(std::exchange(timer_, 0));
  timer_ = g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(timeout.count()), timedOut,
                              keepAlive(), release);
}

void ForeignClipboardRead::request(const std::string& target) {
  requested_ = target;
  ++outstanding_;
  if (!gtk_selection_convert(requestor_, GDK_SELECTION_CLIPBOARD,
                             gdk_atom_intern(target.c_str(), FALSE), GDK_CURRENT_TIME))
    received(requestor_, nullptr, 0, this);
}

bool ForeignClipboardRead::shareAnswerWith(const std::shared_ptr<ForeignClipboardRead>& later) {
  assertMainThread();
  if (outstanding_ == 0) return false;
  std::lock_guard lock(mutex_);
  if (finished_) {
    later->finish(items_);
  } else {
    sharers_.push_back(later);
  }
  return true;
}

gboolean ForeignClipboardRead::timedOut(gpointer read) {
  auto& self = **static_cast<Read*>(read);
  self.timer_ = 0;
  self.finish(std::nullopt);
  self.retireWhenDone();
  return G_SOURCE_REMOVE;
}

void ForeignClipboardRead::received(GtkWidget*, GtkSelectionData* data, guint, gpointer read) {
  const Read self = static_cast<ForeignClipboardRead*>(read)->shared_from_this();
  --self->outstanding_;
  if (self->finished()) {
    self->retireWhenDone();  // late: the read ended without this answer
  } else if (self->requested_ == kTargets) {
    self->takeTargets(data);
  } else {
    self->takeContents(data);
  }
}

void ForeignClipboardRead::takeTargets(GtkSelectionData* data) {
  GdkAtom* atoms = nullptr;
  gint count = 0;
  std::vector<std::string> offered;
  if (data != nullptr && gtk_selection_data_get_targets(data, &atoms, &count)) {
    for (gint index = 0; index < count; ++index) offered.push_back(atomName(atoms[index]));
    g_free(atoms);
  }
  toFetch_ = clipboard_formats::targetsToFetch(offered, modeType_);
  // The program answers: its contents may come in many pieces, and get the longer time.
  if (!toFetch_.empty()) startTimer(contentsTimeout_);
  fetchNext();
}

void ForeignClipboardRead::takeContents(GtkSelectionData* data) {
  const gint length = data != nullptr ? gtk_selection_data_get_length(data) : -1;
  if (length >= 0) {
    const auto* bytes = reinterpret_cast<const char*>(gtk_selection_data_get_data(data));
    fetched_[toFetch_.front()] =
        std::string(bytes != nullptr ? bytes : "", static_cast<size_t>(length));
  }
  toFetch_.erase(toFetch_.begin());
  fetchNext();
}

void ForeignClipboardRead::fetchNext() {
  if (toFetch_.empty()) {
    finish(clipboard_formats::itemsOfFetched(fetched_, modeType_));
    retireWhenDone();
    return;
  }
  request(toFetch_.front());
}

void ForeignClipboardRead::retireWhenDone() {
  if (outstanding_ > 0 || requestor_ == nullptr) return;
  // Not from inside the window's own signal: once the main loop is back.
  g_idle_add(destroyWidget, std::exchange(requestor_, nullptr));
  whileRequesting_.reset();
}

void ForeignClipboardRead::finish(std::optional<std::vector<NSPasteboardItem>> items) {
  if (timer_ != 0) g_source_remove(std::exchange(timer_, 0));
  std::vector<std::shared_ptr<ForeignClipboardRead>> sharers;
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
    items_ = std::move(items);
    sharers.swap(sharers_);
  }
  done_.notify_all();
  for (const auto& sharer : sharers) sharer->finish(items_);
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
  return items_;
}

}  // namespace platform
