#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "macos/Flutter/engine/DartConnection.h"
#include "macos/Flutter/engine/EngineFrame.h"
#include "macos/Flutter/engine/FlutterEngineMessenger.h"
#include "macos/Flutter/engine/PeerFfiCalls.h"

// One attached Dart-side peer: the engine's Dart side while it is connected.
//
// The transport's I/O thread reads its frames and hands them on: messages to the
// messenger (which delivers them on the main thread), FFI calls to their Dart thread,
// DESKTOP calls to the main thread. Frames to the peer are sent from any thread: written
// at once while the socket takes them, else kept in order for the I/O thread to flush.
// Once the connection is over, whatever would be sent to the peer is dropped, and host
// messages still waiting for the peer's reply get an empty one. A write that fails (the
// peer left) drops the output but not the connection: the frames the peer sent before it
// left are still read and served, and the connection ends when reading reaches its end.
class EnginePeer : public DartConnection, public std::enable_shared_from_this<EnginePeer> {
 public:
  // Answers a peer has not read yet, and requests read but not yet answered, beyond which
  // the host stops reading it.
  static constexpr size_t kMaxUnreadOutput = size_t{16} << 20;
  static constexpr size_t kMaxRequestsInFlight = size_t{16} << 20;
  // How long a frame may take from its first byte to its last.
  static constexpr std::chrono::seconds kPartialFrameTimeout{10};
  // Test seam: another time limit for partial frames (nothing: back to the default).
  static void setPartialFrameTimeoutForTesting(std::optional<std::chrono::milliseconds> limit);

  // `fd`: the connected, non-blocking socket, now owned by the peer. `wakeFd`: an eventfd
  // the I/O thread polls, signalled when output waits or the connection broke.
  EnginePeer(int fd, int wakeFd, std::shared_ptr<FlutterEngineMessenger> messenger);
  ~EnginePeer() override;

  int fd() const { return fd_; }

  // I/O thread: reads what arrived and dispatches every whole frame. Returns false when
  // the connection is over (the peer left, an I/O error, or a malformed frame).
  bool readAvailable();
  // I/O thread: writes kept output; a failed write drops it (see above).
  void flushPending();
  // I/O thread: whether output waits for the socket to take it.
  bool hasPending() const;
  // I/O thread: whether the host reads this peer's requests now. A peer whose unread
  // answers pass kMaxUnreadOutput, or whose requests waiting for their answer pass
  // kMaxRequestsInFlight (counted by their size and their bookkeeping), is not read until
  // it has read its answers and they are answered (backpressure): nothing is lost, it is
  // only made to wait.
  bool wantsInput() const;
  // I/O thread: when the frame the peer has begun must be complete, or nothing when no
  // frame is partly read. The clock starts with the frame's first byte, and again
  // whenever reading resumes after backpressure.
  std::optional<std::chrono::steady_clock::time_point> partialFrameDeadline() const;
  void restartPartialFrameClock();
  // I/O thread: whether a burst of requests has just been answered in full (then the
  // memory it took can be given back to the system). Asking clears it.
  bool takeBurstEnded();
  // Whether too much output piled up for a peer that does not read; the I/O thread then
  // cuts it off.
  bool broken() const;
  // I/O thread: ends the connection. Idempotent.
  void close();

  // Sends one frame to the peer; dropped once the connection is over. Any thread.
  // Returns whether the frame was taken (written, or kept to be written).
  bool send(const EngineFrame& frame);

  void deliverToDart(const std::string& channel, const FlutterBinaryMessage& message,
                     FlutterBinaryReplyCallback onReply) override;

  // Whether answers can still reach the peer: connected, and its output not failed.
  bool canAnswer() const;

 private:
  bool dispatch(EngineFrame frame);
  void answerMessage(EngineFrame frame);
  void answerFfi(EngineFrame frame);
  void answerDesktop(EngineFrame frame);
  void takeReply(const EngineFrame& frame);
  // A request read and handed on: counted until the returned token is gone.
  std::shared_ptr<void> requestInFlight(const EngineFrame& frame);
  void writeLocked(const uint8_t* data, size_t length);
  void outputFailedLocked();
  void wakeIoThread();

  const int fd_;
  const int wakeFd_;
  const std::shared_ptr<FlutterEngineMessenger> messenger_;
  // The text handed to this peer; shared with its calls still queued.
  const std::shared_ptr<HandedOutText> handedOutText_ = std::make_shared<HandedOutText>();
  std::atomic<size_t> requestsInFlight_{0};  // bytes
  std::atomic<size_t> burstPeak_{0};         // the most in flight since the last burst ended
  std::atomic<bool> burstEnded_{false};
  EngineFrameReader reader_;                                                // I/O thread only
  std::optional<std::chrono::steady_clock::time_point> partialFrameSince_;  // I/O thread only

  mutable std::mutex mutex_;
  bool closed_ = false;
  bool broken_ = false;        // cut off: output piled up
  bool outputFailed_ = false;  // a write failed: output is dropped, input still served
  std::vector<uint8_t> outbox_;
  size_t outboxStart_ = 0;
  uint32_t nextId_ = 1;
  std::unordered_map<uint32_t, FlutterBinaryReplyCallback> awaitingReply_;
};
