#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Foundation/NSObject.h"
#include "platform/dispatch/NSOperationQueue.h"

// A notification: its name and the object that posted it.
struct NSNotification {
  std::string name;
  std::shared_ptr<NSObject> object;
};

using NSNotificationName = std::string;

class NSNotificationCenter : public NSObject {
 public:
  using Block = std::function<void(const NSNotification&)>;

  static std::shared_ptr<NSNotificationCenter> defaultCenter();

  // Observes notifications named `name` posted by `object` (any object when nullptr).
  // The block runs on `queue` (the posting thread when nullptr). Returns the token that
  // removeObserver() takes. The center holds the block until then; it holds `object`
  // weakly.
  std::shared_ptr<NSObject> addObserverForName(const NSNotificationName& name,
                                               const std::shared_ptr<NSObject>& object,
                                               const std::shared_ptr<NSOperationQueue>& queue,
                                               Block block);
  void removeObserver(const std::shared_ptr<NSObject>& token);

  // Delivers to every matching observer. An observer on the main queue runs at once when
  // posted from the main thread, and is queued to it (and waited for) otherwise.
  void postNotificationName(const NSNotificationName& name,
                            const std::shared_ptr<NSObject>& object);

  size_t observerCount() const;

 private:
  struct Observer {
    std::shared_ptr<NSObject> token;
    NSNotificationName name;
    std::weak_ptr<NSObject> object;
    bool anyObject;
    std::shared_ptr<NSOperationQueue> queue;
    Block block;
  };
  mutable std::mutex mutex_;
  std::vector<Observer> observers_;
};
