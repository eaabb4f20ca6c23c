#pragma once

#include <string>

#include "macos/Flutter/FlutterBinaryMessenger.h"

// The Dart side of an engine: a peer process attached through the engine transport, or an
// in-process test double.
class DartConnection {
 public:
  virtual ~DartConnection() = default;
  // A message from the host to the Dart side. `onReply`, if any, must be called once with
  // Dart's reply (empty: none), from any thread; the engine brings it to the main thread.
  virtual void deliverToDart(const std::string& channel, const FlutterBinaryMessage& message,
                             FlutterBinaryReplyCallback onReply) = 0;
};
