#include "platform/AppKit/NSSavePanel.h"

#include "platform/AppKit/NSWindow.h"
#include "platform/desktop/WindowServer.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/MainThread.h"

void NSSavePanel::record(std::string selector, platform::PanelSetting::Value value) {
  assertMainThread();
  settings_.push_back({std::move(selector), std::move(value)});
}

void NSSavePanel::setDirectoryURL(const ::URL& url) {
  directoryURL_ = url;
  record("setDirectoryURL:", url.path());
}

void NSSavePanel::setTitle(const std::string& title) {
  title_ = title;
  record("setTitle:", title);
}

void NSSavePanel::setNameFieldStringValue(const std::string& name) {
  nameFieldStringValue_ = name;
  record("setNameFieldStringValue:", name);
}

void NSSavePanel::setShowsHiddenFiles(bool flag) {
  showsHiddenFiles_ = flag;
  record("setShowsHiddenFiles:", flag);
}

void NSSavePanel::setShowsTagField(bool flag) { record("setShowsTagField:", flag); }

void NSSavePanel::setCanCreateDirectories(bool flag) {
  canCreateDirectories_ = flag;
  record("setCanCreateDirectories:", flag);
}

void NSSavePanel::setAllowedContentTypes(const std::vector<std::shared_ptr<UTType>>& types) {
  std::vector<std::string> identifiers;
  identifiers.reserve(types.size());
  allowedContentTypes_.clear();
  for (const auto& type : types) {
    if (!type) continue;
    identifiers.push_back(type->identifier());
    allowedContentTypes_.push_back(type);
  }
  record("setAllowedContentTypes:", std::move(identifiers));
}

void NSSavePanel::setAllowedFileTypes(const std::vector<std::string>& types) {
  allowedFileTypes_ = types;
  record("setAllowedFileTypes:", types);
}

void NSSavePanel::beginSheetModalForWindow(const std::shared_ptr<NSWindow>& window,
                                           CompletionHandler handler) {
  assertMainThread();
  TOLVEK_DCHECK(window != nullptr, "a sheet needs a window");
  TOLVEK_DCHECK(!handler_ && !sheetWindow_.lock(), "the panel is already shown");
  if (!window || handler_) {
    // Nothing to show the panel on: the session ends at once, as cancelled.
    if (handler) platform::mainQueue().async([handler] { handler(NSModalResponseCancel); });
    return;
  }
  handler_ = handler ? std::move(handler) : [](NSModalResponse) {};
  sheetWindow_ = window;
  window->sheets_.begin(self());
  if (window->attachedSheet() == self()) showAttachedPanel(window);
}

void NSSavePanel::showAttachedPanel(const std::shared_ptr<NSWindow>& window) {
  if (const auto panel = platform::sheetPanel(window))
    platform::windowServer().showPanel(window, panel);
}

std::optional<::URL> NSSavePanel::URL() const {
  if (chosenURLs_.empty()) return std::nullopt;
  return chosenURLs_.front();
}

void NSSavePanel::answer(const std::shared_ptr<NSWindow>& window, NSModalResponse response,
                         std::vector<::URL> urls) {
  chosenURLs_ = std::move(urls);
  const bool wasShown = window->attachedSheet() == self();
  window->sheets_.end(self());
  sheetWindow_.reset();
  // The handler holds what it replies to (often this panel): moved out, it lets go of it
  // once it has run.
  platform::mainQueue().async([handler = std::move(handler_), response] { handler(response); });
  handler_ = nullptr;
  if (wasShown) {
    platform::windowServer().panelDidEnd(*this);
    showAttachedPanel(window);
  }
}

namespace platform {

std::shared_ptr<NSSavePanel> sheetPanel(const std::shared_ptr<NSWindow>& window) {
  if (!window) return nullptr;
  return std::dynamic_pointer_cast<NSSavePanel>(window->attachedSheet());
}

bool answerSheet(const std::shared_ptr<NSWindow>& window, NSModalResponse response,
                 std::vector<::URL> urls) {
  assertMainThread();
  const auto panel = sheetPanel(window);
  if (!panel) return false;
  panel->answer(window, response, std::move(urls));
  return true;
}

}  // namespace platform
