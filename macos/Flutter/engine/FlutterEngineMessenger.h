#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "macos/Flutter/FlutterBinaryMessenger.h"
#include "macos/Flutter/engine/DartConnection.h"

// The engine's messenger: messages from the Dart side reach their channel's handler on
// the main thread; messages from the host go to the attached Dart side, or are dropped
// (answered with no data) while none is attached.
class FlutterEngineMessenger : public FlutterBinaryMessenger,
                               public std::enable_shared_from_this<FlutterEngineMessenger> {
 public:
  void sendOnChannel(const std::string& channel, const FlutterBinaryMessage& message,
                     FlutterBinaryReplyCallback callback = nullptr) override;
  void setMessageHandlerOnChannel(const std::string& channel,
                                  FlutterBinaryMessageHandler handler) override;
  void setDartEndHandlerOnChannel(const std::string& channel,
                                  std::function<void()> handler) override;

  // A message from the Dart side, from any thread. It is delivered on the main thread;
  // `replyToDart` gets the reply exactly once (empty when no handler is installed), from
  // whichever thread the handler answers on.
  void handleMessageFromDart(std::string channel, FlutterBinaryMessage message,
                             std::function<void(FlutterBinaryMessage)> replyToDart);

  void attach(std::shared_ptr<DartConnection> dart);
  // Detaches `dart` if it is the one attached, and then runs every channel's Dart-end
  // handler on the main thread, behind the messages that Dart side sent.
  void detach(const DartConnection* dart);
  bool hasHandler(const std::string& channel) const;

 private:
  std::shared_ptr<DartConnection> dart() const;

  mutable std::mutex mutex_;
  std::unordered_map<std::string, FlutterBinaryMessageHandler> handlers_;
  std::unordered_map<std::string, std::function<void()>> dartEndHandlers_;
  std::shared_ptr<DartConnection> dart_;
};
