#include "macos/Flutter/engine/EnginePeer.h"

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <new>

#include "macos/Flutter/codec/FlutterCodecError.h"
#include "macos/Flutter/codec/FlutterMethodCodec.h"
#include "macos/Flutter/engine/DartThreads.h"
#include "macos/Flutter/engine/DesktopControl.h"
#include "macos/Flutter/engine/FfiCall.h"
#include "macos/Flutter/engine/FfiRequest.h"
#include "macos/Flutter/engine/PeerFfiCalls.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/MainThread.h"

namespace {

// A peer that stops reading is cut off once this much output waits for it. Backpressure
// keeps its own requests from getting there; only what the host sends by itself (events)
// can pile up this far.
constexpr size_t kMaxPendingOutput = 256u * 1024 * 1024;
// An output buffer larger than this is given back once it has been written out.
constexpr size_t kKeptOutputCapacity = 1024 * 1024;
// Requests in flight at once that make a burst whose memory is given back afterwards.
constexpr size_t kBurstSize = size_t{4} << 20;

std::atomic<int64_t> gPartialFrameTimeoutMs{
    std::chrono::milliseconds(EnginePeer::kPartialFrameTimeout).count()};

EngineFrame answerFrame(EngineFrameKind kind, uint32_t id, std::vector<uint8_t> payload) {
  EngineFrame frame;
  frame.kind = kind;
  frame.id = id;
  frame.payload = std::move(payload);
  return frame;
}

}  // namespace

EnginePeer::EnginePeer(int fd, int wakeFd, std::shared_ptr<FlutterEngineMessenger> messenger)
    : fd_(fd), wakeFd_(wakeFd), messenger_(std::move(messenger)) {}

EnginePeer::~EnginePeer() { close(); }

bool EnginePeer::readAvailable() {
  uint8_t chunk[64 * 1024];
  bool open = true;
  for (;;) {
    const ssize_t count = ::read(fd_, chunk, sizeof chunk);
    if (count > 0) {
      try {
        reader_.append(chunk, static_cast<size_t>(count));
      } catch (const std::bad_alloc&) {
        // No memory for the frame: this connection ends, the host goes on.
        return false;
      }
      // A short read took all there was; the next poll tells when more comes.
      if (static_cast<size_t>(count) < sizeof chunk) break;
      continue;
    }
    if (count < 0 && errno == EINTR) continue;
    // EAGAIN: all read for now. 0 or another error: the connection is over, but the
    // whole frames that came before still get served.
    open = count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    break;
  }
  bool completed = false;
  while (auto frame = reader_.next()) {
    completed = true;
    if (!dispatch(std::move(*frame))) return false;
  }
  // What is left is the start of the next frame, begun now if a frame just completed.
  if (reader_.buffered() == 0)
    partialFrameSince_.reset();
  else if (completed || !partialFrameSince_)
    partialFrameSince_ = std::chrono::steady_clock::now();
  return open && !reader_.failed();
}

void EnginePeer::setPartialFrameTimeoutForTesting(std::optional<std::chrono::milliseconds> limit) {
  gPartialFrameTimeoutMs = limit.value_or(kPartialFrameTimeout).count();
}

std::optional<std::chrono::steady_clock::time_point> EnginePeer::partialFrameDeadline() const {
  if (!partialFrameSince_) return std::nullopt;
  return *partialFrameSince_ + std::chrono::milliseconds(gPartialFrameTimeoutMs.load());
}

void EnginePeer::restartPartialFrameClock() {
  if (partialFrameSince_) partialFrameSince_ = std::chrono::steady_clock::now();
}

bool EnginePeer::wantsInput() const {
  if (requestsInFlight_.load() > kMaxRequestsInFlight) return false;
  std::lock_guard lock(mutex_);
  return outbox_.size() - outboxStart_ <= kMaxUnreadOutput;
}

std::shared_ptr<void> EnginePeer::requestInFlight(const EngineFrame& frame) {
  // What a queued request holds besides its payload: its names, its closure, queue nodes.
  constexpr size_t kBookkeeping = 256;
  const size_t cost = frame.payload.size() + frame.channel.size() + frame.symbol.size() +
                      frame.signature.size() + kBookkeeping;
  const size_t now = requestsInFlight_ += cost;
  if (now > burstPeak_.load(std::memory_order_relaxed)) burstPeak_ = now;
  return std::shared_ptr<void>(nullptr, [peer = weak_from_this(), cost](void*) {
    const auto self = peer.lock();
    if (!self) return;
    const size_t before = self->requestsInFlight_.fetch_sub(cost);
    // The I/O thread stopped reading at the bound; it reads again once below it.
    bool wake = before > kMaxRequestsInFlight && before - cost <= kMaxRequestsInFlight;
    // All of a large burst answered: the I/O thread gives its memory back.
    if (before == cost && self->burstPeak_.exchange(0) > kBurstSize) {
      self->burstEnded_ = true;
      wake = true;
    }
    if (wake) self->wakeIoThread();
  });
}

bool EnginePeer::takeBurstEnded() { return burstEnded_.exchange(false); }

bool EnginePeer::dispatch(EngineFrame frame) {
  switch (frame.kind) {
    case EngineFrameKind::message:
      answerMessage(std::move(frame));
      return true;
    case EngineFrameKind::reply:
      takeReply(frame);
      return true;
    case EngineFrameKind::ffi:
      answerFfi(std::move(frame));
      return true;
    case EngineFrameKind::desktop:
      answerDesktop(std::move(frame));
      return true;
    default:
      // Results travel only from the host to the peer.
      return false;
  }
}

void EnginePeer::answerMessage(EngineFrame frame) {
  // A message with id 0 wants no reply.
  auto reply = [peer = weak_from_this(), id = frame.id,
                inFlight = requestInFlight(frame)](FlutterBinaryMessage bytes) {
    if (id == 0) return;
    if (auto self = peer.lock()) {
      self->send(answerFrame(EngineFrameKind::reply, id, std::move(bytes)));
    }
  };
  if (messenger_) {
    messenger_->handleMessageFromDart(std::move(frame.channel), std::move(frame.payload),
                                      std::move(reply));
  } else {
    reply(FlutterBinaryMessage());
  }
}

void EnginePeer::answerFfi(EngineFrame frame) {
  const uint8_t thread = frame.thread;
  DartThreads::shared().async(
      thread, [peer = weak_from_this(), text = handedOutText_, inFlight = requestInFlight(frame),
               frame = std::move(frame)] {
        // A call with an effect runs even when its peer has left; only its result is dropped.
        // Text it hands out stays with the peer's record, which frees what the peer never
        // gave back once the peer and its calls are all gone.
        const auto before = peer.lock();
        const bool left = !before || !before->canAnswer();
        const EncodableValue result = performPeerFfiCall(frame, *text, left);
        const auto self = peer.lock();
        if (!self) return;
        const auto& codec = *FlutterStandardMessageCodec::sharedInstance();
        std::vector<uint8_t> answer;
        try {
          answer = codec.encode(result);
        } catch (const FlutterCodecError& error) {
          // The call was made; only its result could not be written (out of memory).
          answer = codec.encode(ffiRefusal(std::string("result not sent: ") + error.what()));
        }
        self->send(answerFrame(EngineFrameKind::ffiResult, frame.id, std::move(answer)));
      });
}

bool EnginePeer::canAnswer() const {
  std::lock_guard lock(mutex_);
  return !closed_ && !broken_ && !outputFailed_;
}

void EnginePeer::answerDesktop(EngineFrame frame) {
  platform::mainQueue().async(
      [peer = weak_from_this(), inFlight = requestInFlight(frame), frame = std::move(frame)] {
        assertMainThread();
        const auto codec = FlutterStandardMethodCodec::sharedInstance();
        FlutterMethodReply reply;
        try {
          reply = DesktopControl::shared().handle(codec->decodeMethodCall(frame.payload));
        } catch (const FlutterCodecError& error) {
          reply = desktopBadArguments(std::string("undecodable method call: ") + error.what());
        }
        std::vector<uint8_t> envelope;
        try {
          envelope = codec->encodeReply(reply);
        } catch (const FlutterCodecError& error) {
          envelope = codec->encodeErrorEnvelope(FlutterError::errorWithCode("error", error.what()));
        }
        if (auto self = peer.lock()) {
          self->send(answerFrame(EngineFrameKind::desktopResult, frame.id, std::move(envelope)));
        }
      });
}

void EnginePeer::takeReply(const EngineFrame& frame) {
  FlutterBinaryReplyCallback callback;
  {
    std::lock_guard lock(mutex_);
    const auto found = awaitingReply_.find(frame.id);
    // A reply nobody waits for (an unknown or repeated id) is dropped.
    if (found == awaitingReply_.end()) return;
    callback = std::move(found->second);
    awaitingReply_.erase(found);
  }
  callback(frame.payload);
}

void EnginePeer::deliverToDart(const std::string& channel, const FlutterBinaryMessage& message,
                               FlutterBinaryReplyCallback onReply) {
  EngineFrame frame;
  frame.kind = EngineFrameKind::message;
  frame.channel = channel;
  frame.payload = message;
  {
    std::lock_guard lock(mutex_);
    if (!closed_ && !broken_ && !outputFailed_) {
      if (onReply) {
        frame.id = nextId_++;
        if (nextId_ == 0) nextId_ = 1;  // id 0 would want no reply
        awaitingReply_.emplace(frame.id, onReply);
      }
      const auto bytes = encodeEngineFrame(frame);
      if (bytes) {
        writeLocked(bytes->data(), bytes->size());
        return;
      }
      if (onReply) awaitingReply_.erase(frame.id);
    }
  }
  // Not sent: nobody on the Dart side will answer.
  if (onReply) onReply(FlutterBinaryMessage());
}

bool EnginePeer::send(const EngineFrame& frame) {
  const auto bytes = encodeEngineFrame(frame);
  if (!bytes) return false;
  std::lock_guard lock(mutex_);
  if (closed_ || broken_ || outputFailed_) return false;
  writeLocked(bytes->data(), bytes->size());
  return !broken_ && !outputFailed_;
}

void EnginePeer::outputFailedLocked() {
  // The peer can no longer receive (it left, or stopped reading for good). What it sent
  // before that is still in the socket and is still served; only output is dropped from
  // now on. The connection ends when reading reaches its end.
  outputFailed_ = true;
  outbox_.clear();
  outboxStart_ = 0;
}

void EnginePeer::writeLocked(const uint8_t* data, size_t length) {
  // Written straight away while nothing waits before it, saving the I/O thread a turn.
  if (outboxStart_ == outbox_.size()) {
    outbox_.clear();
    outboxStart_ = 0;
    while (length > 0) {
      const ssize_t written = ::send(fd_, data, length, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (written > 0) {
        data += written;
        length -= static_cast<size_t>(written);
      } else if (written < 0 && errno == EINTR) {
        continue;
      } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        break;
      } else {
        outputFailedLocked();
        return;
      }
    }
    if (length == 0) return;
  }
  if (outbox_.size() - outboxStart_ + length > kMaxPendingOutput) {
    broken_ = true;
  } else {
    outbox_.insert(outbox_.end(), data, data + length);
  }
  wakeIoThread();
}

void EnginePeer::flushPending() {
  std::lock_guard lock(mutex_);
  while (outboxStart_ < outbox_.size()) {
    const ssize_t written = ::send(fd_, outbox_.data() + outboxStart_,
                                   outbox_.size() - outboxStart_, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (written > 0) {
      outboxStart_ += static_cast<size_t>(written);
    } else if (written < 0 && errno == EINTR) {
      continue;
    } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      return;
    } else {
      outputFailedLocked();
      return;
    }
  }
  outbox_.clear();
  outboxStart_ = 0;
  // After a burst, the memory goes back rather than staying with the idle peer.
  if (outbox_.capacity() > kKeptOutputCapacity) std::vector<uint8_t>().swap(outbox_);
}

bool EnginePeer::hasPending() const {
  std::lock_guard lock(mutex_);
  return outboxStart_ < outbox_.size();
}

bool EnginePeer::broken() const {
  std::lock_guard lock(mutex_);
  return broken_;
}

void EnginePeer::close() {
  std::unordered_map<uint32_t, FlutterBinaryReplyCallback> unanswered;
  {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    closed_ = true;
    ::close(fd_);
    outbox_.clear();
    outboxStart_ = 0;
    unanswered.swap(awaitingReply_);
  }
  if (messenger_) messenger_->detach(this);
  for (auto& [id, callback] : unanswered) callback(FlutterBinaryMessage());
}

void EnginePeer::wakeIoThread() {
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t ignored = ::write(wakeFd_, &one, sizeof one);
}
