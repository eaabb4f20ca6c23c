#include "platform/dispatch/NSOperationQueue.h"

#include "platform/dispatch/DispatchQueue.h"

std::shared_ptr<NSOperationQueue> NSOperationQueue::mainQueue() {
  static const auto queue = std::make_shared<NSOperationQueue>();
  return queue;
}

void NSOperationQueue::addOperationWithBlock(std::function<void()> block) {
  platform::mainQueue().async(std::move(block));
}
