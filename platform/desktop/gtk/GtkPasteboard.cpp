#include "platform/desktop/gtk/GtkPasteboard.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "platform/AppKit/NSApplicationDelegate.h"
#include "platform/AppKit/NSPasteboard.h"
#include "platform/desktop/FileClipboardFormats.h"
#include "platform/desktop/gtk/ForeignClipboardRead.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/MainThread.h"
#include "platform/dispatch/NSNotificationCenter.h"

namespace platform {

namespace {

// How long another program may take to say what it offers, and then to hand it over; when
// it is late, the read answers as for an empty clipboard.
constexpr std::chrono::milliseconds kTargetsTimeout{1000};
constexpr std::chrono::milliseconds kContentsTimeout{5000};
// How long a thread other than the main one waits for the main thread to end the read:
// the answers' time and some for the main thread to come to it.
constexpr std::chrono::milliseconds kQueuedPatience =
    kTargetsTimeout + kContentsTimeout + std::chrono::milliseconds(1000);

GtkPasteboard* the = nullptr;

}  // namespace

GtkPasteboard& GtkPasteboard::install(GdkDisplay* display) {
  assertMainThread();
  if (the == nullptr) {
    the = new GtkPasteboard(display);  // never destroyed, see above
    installPasteboardServer(the);
  }
  return *the;
}

GtkPasteboard::GtkPasteboard(GdkDisplay* display)
    : display_(display),
      clipboard_(gtk_clipboard_get_for_display(display, GDK_SELECTION_CLIPBOARD)),
      ownerChangesReported_(gdk_display_supports_selection_notification(display)) {
  g_signal_connect(clipboard_, "owner-change", G_CALLBACK(ownerChanged), this);
  terminationObserver_ = NSNotificationCenter::defaultCenter()->addObserverForName(
      NSApplicationWillTerminateNotification, nullptr, nullptr,
      [this](const NSNotification&) { storeForClipboardManager(); });
  // Whatever another program holds now is the pasteboard's until the application writes.
  anotherProgramTookGeneralPasteboard();
}

void GtkPasteboard::offerOwnContents() {
  // A clear and the writes that follow it make one claim, for the contents as they are
  // when the main thread comes to it.
  if (claimQueued_.exchange(true)) return;
  mainQueue().async([this] { claim(); });
}

void GtkPasteboard::claim() {
  assertMainThread();
  claimQueued_ = false;
  const auto items = applicationPasteboardItems();
  if (!items) return;  // another program took the clipboard after the application wrote
  const auto targets = clipboard_formats::offeredTargets(*items, fileOperationModeType());
  // A cleared pasteboard offers no target, but GTK wants a list all the same.
  std::vector<GtkTargetEntry> entries(std::max<size_t>(targets.size(), 1));
  for (size_t index = 0; index < targets.size(); ++index)
    entries[index] = {const_cast<gchar*>(targets[index].c_str()), 0, 0};
  // Each claim has its number, so that the release of a claim this one replaces is told
  // apart from losing the clipboard to another program.
  const uintptr_t claim = ++claims_;
  owned_ =
      gtk_clipboard_set_with_data(clipboard_, entries.data(), static_cast<guint>(targets.size()),
                                  provide, released, reinterpret_cast<gpointer>(claim));
  if (owned_) gtk_clipboard_set_can_store(clipboard_, nullptr, 0);
}

void GtkPasteboard::provide(GtkClipboard*, GtkSelectionData* data, guint, gpointer) {
  const auto items = applicationPasteboardItems();
  if (!items) return;
  const GdkAtom target = gtk_selection_data_get_target(data);
  gchar* name = gdk_atom_name(target);
  const auto bytes = clipboard_formats::offeredData(*items, name, fileOperationModeType());
  g_free(name);
  if (!bytes) return;
  gtk_selection_data_set(data, target, 8, reinterpret_cast<const guchar*>(bytes->data()),
                         static_cast<gint>(bytes->size()));
}

void GtkPasteboard::released(GtkClipboard*, gpointer claim) {
  GtkPasteboard& self = *the;
  if (reinterpret_cast<uintptr_t>(claim) != self.claims_) return;  // replaced by a newer one
  self.owned_ = false;
  // Where the display reports owner changes, the report counts the change, once.
  if (!self.ownerChangesReported_ && !self.claimQueued_) anotherProgramTookGeneralPasteboard();
}

void GtkPasteboard::ownerChanged(GtkClipboard*, GdkEvent*, gpointer pasteboard) {
  auto& self = *static_cast<GtkPasteboard*>(pasteboard);
  // A claim on its way replaces whoever owns the clipboard now.
  if (self.claimQueued_) return;
  // The report may be of the application's own claim; the display says who owns it now
  // (another program's window is a foreign one).
  GdkWindow* owner = gdk_selection_owner_get_for_display(self.display_, GDK_SELECTION_CLIPBOARD);
  if (owner != nullptr && gdk_window_get_window_type(owner) != GDK_WINDOW_FOREIGN) return;
  self.owned_ = false;
  anotherProgramTookGeneralPasteboard();
}

std::optional<std::vector<NSPasteboardItem>> GtkPasteboard::fetchForeignContents() {
  auto read = std::make_shared<ForeignClipboardRead>(display_, fileOperationModeType(),
                                                     kTargetsTimeout, kContentsTimeout);
  if (isMainThread()) {
    beginOrShare(read);
  } else {
    mainQueue().async([this, read] { beginOrShare(read); });
  }
  return read->wait(kQueuedPatience);
}

void GtkPasteboard::beginOrShare(const std::shared_ptr<ForeignClipboardRead>& read) {
  assertMainThread();
  // Only while the same program owns the clipboard: a new owner is asked afresh.
  const int64_t owner = NSPasteboard::generalPasteboard()->changeCount();
  if (latestRead_ && latestReadOwner_ == owner && latestRead_->shareAnswerWith(read)) return;
  latestRead_ = read;
  latestReadOwner_ = owner;
  read->begin();
}

void GtkPasteboard::storeForClipboardManager() {
  assertMainThread();
  if (claimQueued_) claim();
  // Only the contents the application owns are stored; without a clipboard manager this
  // returns at once.
  if (owned_) gtk_clipboard_store(clipboard_);
}

}  // namespace platform
