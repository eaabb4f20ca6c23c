#include "macos/Flutter/engine/FlutterEngineMessenger.h"

#include <vector>

#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/MainThread.h"

void FlutterEngineMessenger::sendOnChannel(const std::string& channel,
                                           const FlutterBinaryMessage& message,
                                           FlutterBinaryReplyCallback callback) {
  auto onReply = callback
                     ? FlutterBinaryReplyCallback([callback](const FlutterBinaryMessage& reply) {
                         platform::mainQueue().async([callback, reply] { callback(reply); });
                       })
                     : FlutterBinaryReplyCallback();
  if (auto connection = dart()) {
    connection->deliverToDart(channel, message, std::move(onReply));
  } else if (onReply) {
    onReply(FlutterBinaryMessage());
  }
}

void FlutterEngineMessenger::setMessageHandlerOnChannel(const std::string& channel,
                                                        FlutterBinaryMessageHandler handler) {
  std::lock_guard lock(mutex_);
  if (handler) {
    handlers_[channel] = std::move(handler);
  } else {
    handlers_.erase(channel);
  }
}

void FlutterEngineMessenger::handleMessageFromDart(
    std::string channel, FlutterBinaryMessage message,
    std::function<void(FlutterBinaryMessage)> replyToDart) {
  platform::mainQueue().async([this, channel = std::move(channel), message = std::move(message),
                               replyToDart = std::move(replyToDart)]() mutable {
    assertMainThread();
    FlutterBinaryMessageHandler handler;
    {
      std::lock_guard lock(mutex_);
      const auto found = handlers_.find(channel);
      if (found != handlers_.end()) handler = found->second;
    }
    FlutterBinaryReply reply(std::move(replyToDart));
    try {
      if (handler) handler(message, reply);
    } catch (const std::exception&) {
      // Nothing a handler throws (running out of memory included) ends the host: the
      // message goes unanswered, which replies with no data.
    }
  });
}

void FlutterEngineMessenger::attach(std::shared_ptr<DartConnection> connection) {
  std::lock_guard lock(mutex_);
  dart_ = std::move(connection);
}

void FlutterEngineMessenger::setDartEndHandlerOnChannel(const std::string& channel,
                                                        std::function<void()> handler) {
  std::lock_guard lock(mutex_);
  if (handler) {
    dartEndHandlers_[channel] = std::move(handler);
  } else {
    dartEndHandlers_.erase(channel);
  }
}

void FlutterEngineMessenger::detach(const DartConnection* connection) {
  {
    std::lock_guard lock(mutex_);
    if (connection == nullptr || dart_.get() != connection) return;
    dart_.reset();
  }
  // Queued behind the messages the departed side sent, so that they are handled first.
  platform::mainQueue().async([weak = weak_from_this()] {
    assertMainThread();
    const auto self = weak.lock();
    if (!self) return;
    std::vector<std::function<void()>> handlers;
    {
      std::lock_guard lock(self->mutex_);
      for (const auto& [channel, handler] : self->dartEndHandlers_) handlers.push_back(handler);
    }
    for (const auto& handler : handlers) handler();
  });
}

bool FlutterEngineMessenger::hasHandler(const std::string& channel) const {
  std::lock_guard lock(mutex_);
  return handlers_.contains(channel);
}

std::shared_ptr<DartConnection> FlutterEngineMessenger::dart() const {
  std::lock_guard lock(mutex_);
  return dart_;
}
