#pragma once

#include <deque>
#include <memory>

#include "platform/Foundation/NSObject.h"

namespace platform {

// The sheets of one window. A window shows at most one sheet; a sheet begun while another
// is shown waits, and the window shows the waiting sheets one after another, in the order
// they were begun, as each one ends. Main thread only.
class SheetSlot {
 public:
  // The sheet shown, or nullptr.
  std::shared_ptr<NSObject> attached() const { return attached_; }
  // Shows `sheet`, or queues it behind the one shown.
  void begin(std::shared_ptr<NSObject> sheet);
  // Ends `sheet`: when it is the one shown, the next waiting sheet (if any) is shown; a
  // waiting sheet is taken out of the queue. Returns whether `sheet` was there.
  bool end(const std::shared_ptr<NSObject>& sheet);
  size_t waitingCount() const { return waiting_.size(); }

 private:
  std::shared_ptr<NSObject> attached_;
  std::deque<std::shared_ptr<NSObject>> waiting_;
};

}  // namespace platform
