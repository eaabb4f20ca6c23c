#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "macos/Flutter/codec/EncodableValue.h"
#include "macos/Flutter/codec/FlutterMethodCodec.h"
#include "macos/Flutter/engine/EngineFrame.h"

namespace tolvekdart {

// A failure to talk to the host: no connection, the connection ended, no answer in time,
// or an answer that does not decode.
class EngineClientError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Request frames as the Dart side sends them; `id` 0 asks for no answer.
EngineFrame ffiFrame(uint32_t id, uint8_t thread, const std::string& symbol,
                     const std::string& signature, const EncodableList& arguments);
EngineFrame messageFrame(uint32_t id, const std::string& channel, std::vector<uint8_t> payload);
EngineFrame methodCallFrame(uint32_t id, const std::string& channel, const FlutterMethodCall& call);
EngineFrame desktopFrame(uint32_t id, const FlutterMethodCall& call);

// The Dart side of the engine transport, as a peer process holds it: sends messages, FFI
// calls and DESKTOP calls and waits for their answers, one request at a time. Messages
// the host sends meanwhile are kept in arrival order; those that want a reply get an
// empty one at once, as Dart answers events.
class EngineClient {
 public:
  using Clock = std::chrono::steady_clock;

  struct HostMessage {
    std::string channel;
    std::vector<uint8_t> payload;
  };

  // Connects to the host listening at `socketPath`. Throws EngineClientError.
  static EngineClient connect(const std::string& socketPath);

  explicit EngineClient(int fd);
  EngineClient(EngineClient&& other) noexcept;
  EngineClient& operator=(EngineClient&& other) noexcept;
  EngineClient(const EngineClient&) = delete;
  EngineClient& operator=(const EngineClient&) = delete;
  ~EngineClient();

  // How long a request waits for its answer (default 10 s).
  void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

  // A MESSAGE that wants a reply; returns the reply's payload (empty: no handler or null).
  std::vector<uint8_t> sendMessage(const std::string& channel, const std::vector<uint8_t>& payload);
  // A MESSAGE with id 0: no reply comes.
  void postMessage(const std::string& channel, const std::vector<uint8_t>& payload);
  // A method call with the standard method codec.
  FlutterMethodReply invokeMethod(const std::string& channel, const std::string& method,
                                  const EncodableValue& arguments = EncodableValue());
  // An FFI call on Dart thread `thread`; returns the FFI_RESULT map.
  EncodableValue callFfi(uint8_t thread, const std::string& symbol, const std::string& signature,
                         const EncodableList& arguments);
  // A DESKTOP method call; an empty result is "not implemented".
  FlutterMethodReply desktop(const std::string& method,
                             const EncodableValue& arguments = EncodableValue());

  // The next message from the host, waiting until `deadline`; nullopt when none came.
  std::optional<HostMessage> nextHostMessage(Clock::time_point deadline);

  // Lower level, for tests and tools.
  uint32_t newId();
  void sendFrame(const EngineFrame& frame);
  void sendRaw(const std::vector<uint8_t>& bytes);
  // Waits for the answer of kind `kind` to request `id`. Other answers that come first are
  // kept for their own requests.
  EngineFrame awaitAnswer(EngineFrameKind kind, uint32_t id);
  // The next frame of any kind, host messages included (not answered), waiting until
  // `deadline`; nullopt when none came.
  std::optional<EngineFrame> nextFrame(Clock::time_point deadline);
  // Whether the host ends the connection before `deadline` (frames that come are dropped).
  bool waitForClose(Clock::time_point deadline);

  int fd() const { return fd_; }

 private:
  // Reads what arrives until `deadline`; false when nothing came in time. Throws when the
  // connection ended.
  bool receive(Clock::time_point deadline);
  // Takes the next whole frame that is not a host message (those are kept and answered).
  std::optional<EngineFrame> nextAnswer();
  void keepAnswer(EngineFrame frame);
  void closeFd();

  int fd_ = -1;
  uint32_t nextId_ = 1;
  std::chrono::milliseconds timeout_{10000};
  EngineFrameReader reader_;
  std::deque<HostMessage> inbox_;
  static constexpr size_t kKeptAnswers = 1024;
  std::deque<EngineFrame> answers_;
};

}  // namespace tolvekdart
