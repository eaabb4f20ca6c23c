#include "tools/tolvek-dart/EngineClient.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "macos/Flutter/codec/FlutterCodecError.h"
#include "macos/Flutter/engine/EngineSocket.h"

namespace tolvekdart {

EngineFrame ffiFrame(uint32_t id, uint8_t thread, const std::string& symbol,
                     const std::string& signature, const EncodableList& arguments) {
  EngineFrame frame;
  frame.kind = EngineFrameKind::ffi;
  frame.id = id;
  frame.thread = thread;
  frame.symbol = symbol;
  frame.signature = signature;
  frame.payload = FlutterStandardMessageCodec::sharedInstance()->encode(EncodableValue(arguments));
  return frame;
}

EngineFrame messageFrame(uint32_t id, const std::string& channel, std::vector<uint8_t> payload) {
  EngineFrame frame;
  frame.kind = EngineFrameKind::message;
  frame.id = id;
  frame.channel = channel;
  frame.payload = std::move(payload);
  return frame;
}

EngineFrame methodCallFrame(uint32_t id, const std::string& channel,
                            const FlutterMethodCall& call) {
  return messageFrame(id, channel,
                      FlutterStandardMethodCodec::sharedInstance()->encodeMethodCall(call));
}

EngineFrame desktopFrame(uint32_t id, const FlutterMethodCall& call) {
  EngineFrame frame;
  frame.kind = EngineFrameKind::desktop;
  frame.id = id;
  frame.payload = FlutterStandardMethodCodec::sharedInstance()->encodeMethodCall(call);
  return frame;
}

EngineClient EngineClient::connect(const std::string& socketPath) {
  const int fd = connectUnixSocket(socketPath);
  if (fd < 0) {
    throw EngineClientError("cannot connect to " + socketPath + ": " + strerror(errno));
  }
  return EngineClient(fd);
}

EngineClient::EngineClient(int fd) : fd_(fd) {}

EngineClient::EngineClient(EngineClient&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      nextId_(other.nextId_),
      timeout_(other.timeout_),
      reader_(std::move(other.reader_)),
      inbox_(std::move(other.inbox_)),
      answers_(std::move(other.answers_)) {}

EngineClient& EngineClient::operator=(EngineClient&& other) noexcept {
  if (this != &other) {
    closeFd();
    fd_ = std::exchange(other.fd_, -1);
    nextId_ = other.nextId_;
    timeout_ = other.timeout_;
    reader_ = std::move(other.reader_);
    inbox_ = std::move(other.inbox_);
    answers_ = std::move(other.answers_);
  }
  return *this;
}

EngineClient::~EngineClient() { closeFd(); }

void EngineClient::closeFd() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

uint32_t EngineClient::newId() {
  const uint32_t id = nextId_++;
  if (nextId_ == 0) nextId_ = 1;
  return id;
}

void EngineClient::sendRaw(const std::vector<uint8_t>& bytes) {
  if (fd_ < 0) throw EngineClientError("not connected");
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t count = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (count < 0) {
      if (errno == EINTR) continue;
      throw EngineClientError(std::string("the host connection failed: ") + strerror(errno));
    }
    sent += static_cast<size_t>(count);
  }
}

void EngineClient::sendFrame(const EngineFrame& frame) {
  const auto bytes = encodeEngineFrame(frame);
  if (!bytes) throw EngineClientError("the frame is too large to send");
  sendRaw(*bytes);
}

bool EngineClient::receive(Clock::time_point deadline) {
  if (fd_ < 0) throw EngineClientError("not connected");
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  pollfd descriptor{fd_, POLLIN, 0};
  const int ready = poll(&descriptor, 1, static_cast<int>(std::max<int64_t>(0, left.count())));
  if (ready < 0 && errno != EINTR) throw EngineClientError(strerror(errno));
  if (ready <= 0) return false;
  uint8_t chunk[64 * 1024];
  const ssize_t count = ::read(fd_, chunk, sizeof chunk);
  if (count == 0) throw EngineClientError("the host closed the connection");
  if (count < 0) {
    if (errno == EINTR || errno == EAGAIN) return true;
    throw EngineClientError(std::string("the host connection failed: ") + strerror(errno));
  }
  reader_.append(chunk, static_cast<size_t>(count));
  return true;
}

std::optional<EngineFrame> EngineClient::nextAnswer() {
  while (auto frame = reader_.next()) {
    if (frame->kind != EngineFrameKind::message) return frame;
    if (frame->id != 0) {
      EngineFrame reply;
      reply.kind = EngineFrameKind::reply;
      reply.id = frame->id;
      sendFrame(reply);
    }
    inbox_.push_back({std::move(frame->channel), std::move(frame->payload)});
  }
  if (reader_.failed())
    throw EngineClientError("malformed frame from the host: " + reader_.error());
  return std::nullopt;
}

EngineFrame EngineClient::awaitAnswer(EngineFrameKind kind, uint32_t id) {
  const auto deadline = Clock::now() + timeout_;
  for (;;) {
    while (auto frame = nextAnswer()) keepAnswer(std::move(*frame));
    // Answers may come in another order than their requests went (calls on different
    // threads), so the others are kept for their own turn.
    const auto found = std::find_if(answers_.begin(), answers_.end(), [&](const EngineFrame& f) {
      return f.kind == kind && f.id == id;
    });
    if (found != answers_.end()) {
      EngineFrame answer = std::move(*found);
      answers_.erase(found);
      return answer;
    }
    if (!receive(deadline)) throw EngineClientError("no answer from the host in time");
  }
}

void EngineClient::keepAnswer(EngineFrame frame) {
  // Answers nobody asks for any more (their requests timed out) go, oldest first.
  if (answers_.size() == kKeptAnswers) answers_.pop_front();
  answers_.push_back(std::move(frame));
}

std::vector<uint8_t> EngineClient::sendMessage(const std::string& channel,
                                               const std::vector<uint8_t>& payload) {
  const auto frame = messageFrame(newId(), channel, payload);
  sendFrame(frame);
  return awaitAnswer(EngineFrameKind::reply, frame.id).payload;
}

void EngineClient::postMessage(const std::string& channel, const std::vector<uint8_t>& payload) {
  sendFrame(messageFrame(0, channel, payload));
}

FlutterMethodReply EngineClient::invokeMethod(const std::string& channel, const std::string& method,
                                              const EncodableValue& arguments) {
  const auto codec = FlutterStandardMethodCodec::sharedInstance();
  const auto reply = sendMessage(channel, codec->encodeMethodCall({method, arguments}));
  try {
    return codec->decodeEnvelope(reply);
  } catch (const FlutterCodecError& error) {
    throw EngineClientError(std::string("undecodable reply: ") + error.what());
  }
}

EncodableValue EngineClient::callFfi(uint8_t thread, const std::string& symbol,
                                     const std::string& signature, const EncodableList& arguments) {
  const auto frame = ffiFrame(newId(), thread, symbol, signature, arguments);
  sendFrame(frame);
  const auto answer = awaitAnswer(EngineFrameKind::ffiResult, frame.id);
  try {
    return FlutterStandardMessageCodec::sharedInstance()->decode(answer.payload);
  } catch (const FlutterCodecError& error) {
    throw EngineClientError(std::string("undecodable FFI result: ") + error.what());
  }
}

FlutterMethodReply EngineClient::desktop(const std::string& method,
                                         const EncodableValue& arguments) {
  const auto codec = FlutterStandardMethodCodec::sharedInstance();
  const auto frame = desktopFrame(newId(), {method, arguments});
  sendFrame(frame);
  const auto answer = awaitAnswer(EngineFrameKind::desktopResult, frame.id);
  try {
    return codec->decodeEnvelope(answer.payload);
  } catch (const FlutterCodecError& error) {
    throw EngineClientError(std::string("undecodable DESKTOP result: ") + error.what());
  }
}

std::optional<EngineClient::HostMessage> EngineClient::nextHostMessage(Clock::time_point deadline) {
  for (;;) {
    while (auto frame = nextAnswer()) keepAnswer(std::move(*frame));
    if (!inbox_.empty()) {
      HostMessage message = std::move(inbox_.front());
      inbox_.pop_front();
      return message;
    }
    if (!receive(deadline)) return std::nullopt;
  }
}

std::optional<EngineFrame> EngineClient::nextFrame(Clock::time_point deadline) {
  for (;;) {
    if (auto frame = reader_.next()) return frame;
    if (reader_.failed()) {
      throw EngineClientError("malformed frame from the host: " + reader_.error());
    }
    if (!receive(deadline)) return std::nullopt;
  }
}

bool EngineClient::waitForClose(Clock::time_point deadline) {
  try {
    for (;;) {
      while (nextAnswer()) {
      }
      if (!receive(deadline)) return false;
    }
  } catch (const EngineClientError&) {
    return true;
  }
}

}  // namespace tolvekdart
