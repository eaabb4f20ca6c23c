#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One frame of the engine transport, in either direction: a uint32 little-endian body
// length, then the body: kind, id, the kind's fields and a payload.
enum class EngineFrameKind : uint8_t {
  message = 1,        // both ways: channel, payload (empty: a null message)
  reply = 2,          // both ways: payload (empty: no reply)
  ffi = 3,            // peer to host: thread, symbol, signature, argument list
  ffiResult = 4,      // host to peer: a standard-codec result map
  desktop = 5,        // peer to host: a standard method call
  desktopResult = 6,  // host to peer: a method codec envelope (empty: not implemented)
};

struct EngineFrame {
  EngineFrameKind kind = EngineFrameKind::message;
  uint32_t id = 0;
  std::string channel;    // message
  uint8_t thread = 0;     // ffi
  std::string symbol;     // ffi
  std::string signature;  // ffi
  std::vector<uint8_t> payload;

  friend bool operator==(const EngineFrame&, const EngineFrame&) = default;
};

// The largest body a frame may have.
inline constexpr uint32_t kEngineFrameMaxBody = 64u * 1024 * 1024;

// The frame's bytes, length prefix included; nullopt when it cannot be framed (a string
// field over 65535 bytes, or a body over the limit).
std::optional<std::vector<uint8_t>> encodeEngineFrame(const EngineFrame& frame);

// Parses one body (without its length prefix). Returns nullopt and sets `error` when the
// body is shorter than its fields or names an unknown kind.
std::optional<EngineFrame> parseEngineFrameBody(const uint8_t* body, size_t length,
                                                std::string* error = nullptr);

// Cuts a byte stream into frames. Bytes arrive in any pieces; a whole frame comes out once
// all of it is there. The first malformed frame (length 0 or over the limit, unknown kind,
// a body that does not parse) stops the stream for good.
class EngineFrameReader {
 public:
  void append(const uint8_t* data, size_t length);

  // The next whole frame, or nullopt when more bytes are needed or the stream failed.
  std::optional<EngineFrame> next();

  bool failed() const { return failed_; }
  const std::string& error() const { return error_; }
  // Bytes held that do not make a whole frame yet.
  size_t buffered() const { return buffer_.size() - start_; }

 private:
  void fail(std::string why);

  static constexpr size_t kKeptCapacity = 1024 * 1024;

  std::vector<uint8_t> buffer_;
  size_t start_ = 0;
  bool failed_ = false;
  std::string error_;
};
