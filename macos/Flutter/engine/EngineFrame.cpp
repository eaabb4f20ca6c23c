#include "macos/Flutter/engine/EngineFrame.h"

#include <cstring>

namespace {

constexpr size_t kHeaderSize = 1 + 4;  // kind, id

void putUint16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void putUint32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t getUint32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

bool putString16(std::vector<uint8_t>& out, const std::string& text) {
  if (text.size() > 0xffff) return false;
  putUint16(out, static_cast<uint16_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
  return true;
}

bool knownKind(uint8_t kind) {
  return kind >= static_cast<uint8_t>(EngineFrameKind::message) &&
         kind <= static_cast<uint8_t>(EngineFrameKind::desktopResult);
}

// Reads the fields of a body in order; every read is checked against the bytes left.
class BodyCursor {
 public:
  BodyCursor(const uint8_t* data, size_t length) : data_(data), length_(length) {}

  bool byte(uint8_t& value) {
    if (left() < 1) return false;
    value = data_[position_++];
    return true;
  }
  bool uint32(uint32_t& value) {
    if (left() < 4) return false;
    value = getUint32(data_ + position_);
    position_ += 4;
    return true;
  }
  bool string16(std::string& text) {
    if (left() < 2) return false;
    const size_t size = data_[position_] | static_cast<size_t>(data_[position_ + 1]) << 8;
    position_ += 2;
    if (left() < size) return false;
    text.assign(reinterpret_cast<const char*>(data_ + position_), size);
    position_ += size;
    return true;
  }
  void rest(std::vector<uint8_t>& payload) {
    payload.assign(data_ + position_, data_ + length_);
    position_ = length_;
  }

 private:
  size_t left() const { return length_ - position_; }

  const uint8_t* data_;
  size_t length_;
  size_t position_ = 0;
};

}  // namespace

std::optional<std::vector<uint8_t>> encodeEngineFrame(const EngineFrame& frame) {
  std::vector<uint8_t> out;
  out.reserve(4 + kHeaderSize + 4 + frame.channel.size() + frame.symbol.size() +
              frame.signature.size() + frame.payload.size());
  putUint32(out, 0);  // the length, filled in below
  out.push_back(static_cast<uint8_t>(frame.kind));
  putUint32(out, frame.id);
  switch (frame.kind) {
    case EngineFrameKind::message:
      if (!putString16(out, frame.channel)) return std::nullopt;
      break;
    case EngineFrameKind::ffi:
      out.push_back(frame.thread);
      if (!putString16(out, frame.symbol) || !putString16(out, frame.signature)) {
        return std::nullopt;
      }
      break;
    case EngineFrameKind::reply:
    case EngineFrameKind::ffiResult:
    case EngineFrameKind::desktop:
    case EngineFrameKind::desktopResult:
      break;
    default:
      return std::nullopt;
  }
  out.insert(out.end(), frame.payload.begin(), frame.payload.end());
  const size_t body = out.size() - 4;
  if (body > kEngineFrameMaxBody) return std::nullopt;
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(body >> (8 * i));
  return out;
}

std::optional<EngineFrame> parseEngineFrameBody(const uint8_t* body, size_t length,
                                                std::string* error) {
  auto refuse = [error](const char* why) -> std::optional<EngineFrame> {
    if (error) *error = why;
    return std::nullopt;
  };
  BodyCursor cursor(body, length);
  EngineFrame frame;
  uint8_t kind = 0;
  if (!cursor.byte(kind) || !cursor.uint32(frame.id)) return refuse("body shorter than its header");
  if (!knownKind(kind)) return refuse("unknown frame kind");
  frame.kind = static_cast<EngineFrameKind>(kind);
  if (frame.kind == EngineFrameKind::message && !cursor.string16(frame.channel)) {
    return refuse("truncated channel name");
  }
  if (frame.kind == EngineFrameKind::ffi &&
      (!cursor.byte(frame.thread) || !cursor.string16(frame.symbol) ||
       !cursor.string16(frame.signature))) {
    return refuse("truncated call fields");
  }
  cursor.rest(frame.payload);
  return frame;
}

void EngineFrameReader::append(const uint8_t* data, size_t length) {
  if (failed_ || length == 0) return;
  // Drop what was consumed before growing, so the buffer holds at most one frame's worth
  // plus what arrived with it.
  if (start_ > 0 && start_ == buffer_.size()) {
    buffer_.clear();
    start_ = 0;
  } else if (start_ > 64 * 1024 && start_ * 2 > buffer_.size()) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start_));
    start_ = 0;
  }
  buffer_.insert(buffer_.end(), data, data + length);
}

std::optional<EngineFrame> EngineFrameReader::next() {
  if (failed_ || buffered() < 4) return std::nullopt;
  const uint32_t bodyLength = getUint32(buffer_.data() + start_);
  // The length is judged as soon as it is known, before waiting for the body.
  if (bodyLength == 0) {
    fail("frame length 0");
    return std::nullopt;
  }
  if (bodyLength > kEngineFrameMaxBody) {
    fail("frame length over 64 MiB");
    return std::nullopt;
  }
  // An unknown kind is refused as soon as its byte is there.
  if (buffered() > 4 && !knownKind(buffer_[start_ + 4])) {
    fail("unknown frame kind");
    return std::nullopt;
  }
  if (buffered() - 4 < bodyLength) return std::nullopt;
  std::string why;
  auto frame = parseEngineFrameBody(buffer_.data() + start_ + 4, bodyLength, &why);
  if (!frame) {
    fail(std::move(why));
    return std::nullopt;
  }
  start_ += 4 + static_cast<size_t>(bodyLength);
  // A large frame's buffer is given back once it has been read, not kept for the next.
  if (start_ == buffer_.size() && buffer_.capacity() > kKeptCapacity) {
    std::vector<uint8_t>().swap(buffer_);
    start_ = 0;
  }
  return frame;
}

void EngineFrameReader::fail(std::string why) {
  failed_ = true;
  error_ = std::move(why);
  buffer_.clear();
  buffer_.shrink_to_fit();
  start_ = 0;
}
