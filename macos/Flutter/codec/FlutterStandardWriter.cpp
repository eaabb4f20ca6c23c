#include "macos/Flutter/codec/FlutterStandardWriter.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "macos/Flutter/codec/FlutterCodecError.h"
#include "macos/Flutter/codec/StandardEncoding.h"
#include "platform/text/Utf8Text.h"

using namespace standard_encoding;

namespace {

// Strings and typed lists of at least this many bytes are appended straight from the value;
// everything else is stored into room made ahead of it.
constexpr size_t kAppendedWhole = 4096;
// The room made at a time: the vector zero-fills it and the stores then overwrite it, so it
// is kept small (below where the zeroing turns into a string instruction), and so is the
// room left unused before long contents.
constexpr size_t kRoomStep = 1024;

// Where a value ends when written at `position`, and whether it can be written as it stands:
// not when it holds an extension value (a derived writer's) or text that is not well-formed
// UTF-8 (repaired on the way out).
struct Measure {
  size_t position;

  void byte(uint8_t) { position += 1; }
  template <typename T>
  void tagged(uint8_t, T) {
    position += 1 + sizeof(T);
  }
  void float64(double) { position = alignedUp(position + 1, sizeof(double)) + sizeof(double); }
  void header(uint8_t, size_t count) { position += 1 + sizeOfSize(count); }
  bool text(const std::string& text) {
    if (!isWellFormedUtf8(text)) return false;
    header(kString, text.size());
    position += text.size();
    return true;
  }
  template <typename T>
  void typedList(uint8_t type, const std::vector<T>& values) {
    header(type, values.size());
    if (sizeof(T) > 1) position = alignedUp(position, sizeof(T));
    position += values.size() * sizeof(T);
  }
};

// Writes a measured value: the buffer is reserved once for all of it, so it never moves,
// and each part is stored in place rather than inserted.
class Store {
 public:
  Store(std::vector<uint8_t>& data, const Measure& measured)
      : data_(data), end_(measured.position) {
    // Exactly the size for a buffer written once; doubling for one written piece by piece
    // (a derived codec's), so that writing its parts stays linear.
    if (data.capacity() < end_) data.reserve(std::max(end_, 2 * data.capacity()));
    cursor_ = limit_ = data.data() + data.size();
  }

  // Ends the buffer after the value.
  void finish() { data_.resize(position()); }

  void byte(uint8_t value) { *take(1) = value; }
  template <typename T>
  void tagged(uint8_t type, T value) {
    uint8_t* at = take(1 + sizeof value);
    at[0] = type;
    std::memcpy(at + 1, &value, sizeof value);
  }
  void float64(double value) {
    byte(kFloat64);
    align(sizeof value);
    std::memcpy(take(sizeof value), &value, sizeof value);
  }
  // A type byte and a size in the shortest of the 1, 3 and 5 byte forms.
  void header(uint8_t type, size_t count) {
    const auto size = static_cast<uint32_t>(count);
    if (size < 254) {
      uint8_t* at = take(2);
      at[0] = type;
      at[1] = static_cast<uint8_t>(size);
    } else if (size <= 0xffff) {
      uint8_t* at = take(4);
      at[0] = type;
      at[1] = 254;
      const auto value = static_cast<uint16_t>(size);
      std::memcpy(at + 2, &value, sizeof value);
    } else {
      uint8_t* at = take(6);
      at[0] = type;
      at[1] = 255;
      std::memcpy(at + 2, &size, sizeof size);
    }
  }
  bool text(const std::string& text) {
    // Well-formed: only such text was measured.
    header(kString, text.size());
    contents(text.data(), text.size());
    return true;
  }
  template <typename T>
  void typedList(uint8_t type, const std::vector<T>& values) {
    header(type, values.size());
    // Always padded, empty lists too.
    if (sizeof(T) > 1) align(sizeof(T));
    contents(values.data(), values.size() * sizeof(T));
  }

 private:
  size_t position() const { return static_cast<size_t>(cursor_ - data_.data()); }
  // The next `length` bytes of the buffer, to be stored into.
  uint8_t* take(size_t length) {
    if (static_cast<size_t>(limit_ - cursor_) < length) makeRoom(length);
    uint8_t* at = cursor_;
    cursor_ += length;
    return at;
  }
  void makeRoom(size_t length) {
    const size_t at = position();
    data_.resize(at + std::max(length, std::min(kRoomStep, end_ - at)));
    cursor_ = data_.data() + at;
    limit_ = data_.data() + data_.size();
  }
  void align(size_t alignment) {
    const size_t padding = alignedUp(position(), alignment) - position();
    if (padding != 0) std::memset(take(padding), 0, padding);
  }
  // Contents, copied once into place.
  void contents(const void* bytes, size_t length) {
    if (length < kAppendedWhole) {
      if (length != 0) std::memcpy(take(length), bytes, length);
      return;
    }
    // Long contents go in with one copy, where making room first would zero them too.
    const auto* first = static_cast<const uint8_t*>(bytes);
    data_.resize(position());
    data_.insert(data_.end(), first, first + length);
    cursor_ = limit_ = data_.data() + data_.size();
  }

  std::vector<uint8_t>& data_;
  const size_t end_;
  uint8_t* cursor_;  // where the next byte goes
  uint8_t* limit_;   // the end of the room made so far
};

}  // namespace

void FlutterStandardWriter::writeBytes(const void* bytes, size_t length) {
  // One copy: inserting a byte range copies it straight into place, where growing the
  // buffer first would zero the bytes only to overwrite them.
  const auto* first = static_cast<const uint8_t*>(bytes);
  data_.insert(data_.end(), first, first + length);
}

void FlutterStandardWriter::writeSize(uint32_t size) {
  if (size < 254) {
    writeByte(static_cast<uint8_t>(size));
  } else if (size <= 0xffff) {
    writeByte(254);
    const uint16_t value = static_cast<uint16_t>(size);
    writeBytes(&value, sizeof value);
  } else {
    writeByte(255);
    writeBytes(&size, sizeof size);
  }
}

void FlutterStandardWriter::writeAlignment(uint8_t alignment) {
  const size_t misalignment = data_.size() % alignment;
  if (misalignment != 0) data_.resize(data_.size() + alignment - misalignment, 0);
}

void FlutterStandardWriter::writeUTF8(const std::string& text) {
  // The Dart side decodes strings strictly: one ill-formed string would make the whole
  // message undecodable there. Such a string goes out repaired, as the text Dart shows.
  if (!isWellFormedUtf8(text)) return writeUTF8(utf8TextFromBytes(text));
  writeSize(static_cast<uint32_t>(text.size()));
  writeBytes(text.data(), text.size());
}

void FlutterStandardWriter::writeValue(const EncodableValue& value) {
  try {
    // The whole value in one pass when this class can write all of it as it stands.
    if (Measure measured{data_.size()}; encodeParts(value, measured)) {
      Store store(data_, measured);
      encodeParts(value, store);
      store.finish();
      return;
    }
    writeByParts(value);
  } catch (const std::bad_alloc&) {
    // Running out of memory fails this message only, as any other encoding error does.
    throw FlutterCodecError("message too large to encode: out of memory");
  }
}

void FlutterStandardWriter::writeByParts(const EncodableValue& value) {
  // A value that holds extension values or text to repair: its parts one by one, each
  // element through writeValue(), so that a derived codec writes the values it adds.
  if (const auto* text = value.string()) {
    writeByte(kString);
    writeUTF8(*text);
  } else if (const auto* list = value.list()) {
    writeByte(kList);
    writeSize(static_cast<uint32_t>(list->size()));
    for (const auto& element : *list) writeValue(element);
  } else if (const auto* map = value.map()) {
    writeByte(kMap);
    writeSize(static_cast<uint32_t>(map->size()));
    for (const auto& [key, element] : *map) {
      writeValue(key);
      writeValue(element);
    }
  } else {
    // Every other value is written whole.
    throw FlutterCodecError("the standard codec cannot write extension type " +
                            std::to_string(std::get<CustomEncodableValue>(value).type));
  }
}
