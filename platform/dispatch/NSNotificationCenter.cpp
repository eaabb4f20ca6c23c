#include "platform/dispatch/NSNotificationCenter.h"

#include <algorithm>

#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/MainThread.h"

namespace {
// What addObserverForName hands back: an opaque object identifying one registration.
class NSNotificationObserverToken : public NSObject {};
}  // namespace

std::shared_ptr<NSNotificationCenter> NSNotificationCenter::defaultCenter() {
  static const auto center = std::make_shared<NSNotificationCenter>();
  return center;
}

std::shared_ptr<NSObject> NSNotificationCenter::addObserverForName(
    const NSNotificationName& name, const std::shared_ptr<NSObject>& object,
    const std::shared_ptr<NSOperationQueue>& queue, Block block) {
  auto token = std::make_shared<NSNotificationObserverToken>();
  std::lock_guard lock(mutex_);
  observers_.push_back(Observer{token, name, object, object == nullptr, queue, std::move(block)});
  return token;
}

void NSNotificationCenter::removeObserver(const std::shared_ptr<NSObject>& token) {
  std::lock_guard lock(mutex_);
  std::erase_if(observers_, [&token](const Observer& observer) { return observer.token == token; });
}

void NSNotificationCenter::postNotificationName(const NSNotificationName& name,
                                                const std::shared_ptr<NSObject>& object) {
  std::vector<std::pair<std::shared_ptr<NSOperationQueue>, Block>> matching;
  {
    std::lock_guard lock(mutex_);
    for (const auto& observer : observers_) {
      if (observer.name != name) continue;
      if (!observer.anyObject && observer.object.lock() != object) continue;
      matching.emplace_back(observer.queue, observer.block);
    }
  }
  const NSNotification notification{name, object};
  for (const auto& observer : matching) {
    const Block& block = observer.second;
    if (observer.first == nullptr || platform::isMainThread()) {
      block(notification);
    } else {
      platform::mainQueue().sync([&block, &notification] { block(notification); });
    }
  }
}

size_t NSNotificationCenter::observerCount() const {
  std::lock_guard lock(mutex_);
  return observers_.size();
}
