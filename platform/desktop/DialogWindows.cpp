#include "platform/desktop/DialogWindows.h"

#include <atomic>

#include "platform/desktop/WindowServer.h"

namespace platform {

namespace {

const DialogWindows* installedDialogWindows() {
  return dynamic_cast<const DialogWindows*>(&windowServer());
}

}  // namespace

std::vector<DialogWindow> dialogWindows() {
  const auto* dialogs = installedDialogWindows();
  return dialogs != nullptr ? dialogs->dialogWindows() : std::vector<DialogWindow>();
}

std::optional<std::vector<uint8_t>> dialogSnapshot(NSInteger id) {
  const auto* dialogs = installedDialogWindows();
  return dialogs != nullptr ? dialogs->dialogSnapshot(id) : std::nullopt;
}

NSInteger nextWindowNumber() {
  static std::atomic<NSInteger> lastWindowNumber{0};
  return ++lastWindowNumber;
}

}  // namespace platform
