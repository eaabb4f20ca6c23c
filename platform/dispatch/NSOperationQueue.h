#pragma once

#include <functional>
#include <memory>

#include "platform/Foundation/NSObject.h"

// An operation queue; here only the main one, whose operations run on the main thread's
// run loop through the main dispatch queue.
class NSOperationQueue : public NSObject {
 public:
  static std::shared_ptr<NSOperationQueue> mainQueue();
  void addOperationWithBlock(std::function<void()> block);
};
