#pragma once

#include <memory>

#include "platform/AppKit/SheetSlot.h"
#include "platform/Foundation/NSObject.h"

// A window of the desktop model.
class NSWindow : public NSObject {
 public:
  // The sheet the window shows, or nullptr.
  std::shared_ptr<NSObject> attachedSheet() const { return sheets_.attached(); }
  // The window's sheets: the one shown and those waiting their turn.
  platform::SheetSlot& sheets() { return sheets_; }

 private:
  platform::SheetSlot sheets_;
};
