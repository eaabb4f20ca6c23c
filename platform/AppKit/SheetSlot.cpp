#include "platform/AppKit/SheetSlot.h"

#include <algorithm>

#include "platform/dispatch/MainThread.h"

namespace platform {

void SheetSlot::begin(std::shared_ptr<NSObject> sheet) {
  assertMainThread();
  if (attached_) {
    waiting_.push_back(std::move(sheet));
  } else {
    attached_ = std::move(sheet);
  }
}

bool SheetSlot::end(const std::shared_ptr<NSObject>& sheet) {
  assertMainThread();
  if (sheet && sheet == attached_) {
    attached_ = nullptr;
    if (!waiting_.empty()) {
      attached_ = std::move(waiting_.front());
      waiting_.pop_front();
    }
    return true;
  }
  const auto found = std::find(waiting_.begin(), waiting_.end(), sheet);
  if (found == waiting_.end()) return false;
  waiting_.erase(found);
  return true;
}

}  // namespace platform
