#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "macos/Flutter/FlutterEventChannel.h"
#include "macos/Flutter/codec/FlutterMethodCodec.h"
#include "macos/Flutter/engine/FlutterEngine.h"

// The Dart side of an engine, in process, for tests on the main thread: sends messages as
// Dart code would (running the main run loop until the reply is there) and records what
// the host sends to Dart.
class InProcessDart : public DartConnection, public std::enable_shared_from_this<InProcessDart> {
 public:
  struct Received {
    std::string channel;
    FlutterBinaryMessage message;
  };

  // Makes a Dart side and attaches it to `messenger`.
  static std::shared_ptr<InProcessDart> attach(
      const std::shared_ptr<FlutterEngineMessenger>& messenger);

  // Sends raw bytes on `channel` and returns the reply bytes (empty: no handler, or no data).
  FlutterBinaryMessage send(const std::string& channel, const FlutterBinaryMessage& message);
  // Calls a method with the standard method codec and returns the decoded reply.
  FlutterMethodReply invokeMethod(const std::string& channel, const std::string& method,
                                  const EncodableValue& arguments = EncodableValue());

  // What the host sent so far, oldest first.
  std::vector<Received> received() const;
  // The data events sent on an event channel so far (success envelopes decoded).
  std::vector<EncodableValue> events(const std::string& channel) const;
  void clearReceived();

  void deliverToDart(const std::string& channel, const FlutterBinaryMessage& message,
                     FlutterBinaryReplyCallback onReply) override;

 private:
  // Weak: the messenger holds its Dart side strongly.
  std::weak_ptr<FlutterEngineMessenger> messenger_;
  mutable std::mutex mutex_;
  std::vector<Received> received_;
};
