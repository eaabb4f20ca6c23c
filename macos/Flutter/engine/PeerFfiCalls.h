#pragma once

#include <cstdint>
#include <mutex>
#include <unordered_set>

#include "macos/Flutter/codec/EncodableValue.h"
#include "macos/Flutter/engine/EngineFrame.h"

// The text one peer holds: what `utf8ptr` exports handed to it and it has not given back.
// A pointer the peer passes to a releasing export must be one of these; each is taken
// back once. What the peer never gave back is freed when the last of its calls is done,
// since a peer that has gone can never pass it back. Thread-safe.
class HandedOutText {
 public:
  HandedOutText() = default;
  ~HandedOutText();
  HandedOutText(const HandedOutText&) = delete;
  HandedOutText& operator=(const HandedOutText&) = delete;

  void handedOut(intptr_t address);
  // Whether the peer held `address`; it no longer does.
  bool takeBack(intptr_t address);

 private:
  std::mutex mutex_;
  std::unordered_set<intptr_t> held_;
};

// Performs a peer's FFI frame, with the transport's safety on top of the C contract: the
// function must be a declared export called with its declared signature; a pointer it
// releases must be text handed to this peer and not given back yet; a query is skipped
// when its peer has left (`peerLeft`), since only its answer mattered. Returns the
// FFI_RESULT map; `handedOut` learns of text handed out before the answer is sent.
EncodableValue performPeerFfiCall(const EngineFrame& frame, HandedOutText& text, bool peerLeft);
