#include "platform/text/Utf8Text.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// How many bytes of a well-formed sequence start at `i`, or, when the sequence is
// ill-formed, 0 with `subpart` set to the length of its maximal subpart (at least 1).
size_t wellFormedLength(std::string_view bytes, size_t i, size_t& subpart) {
  const auto byte = [&](size_t at) { return static_cast<uint8_t>(bytes[at]); };
  const uint8_t lead = byte(i);
  subpart = 1;
  if (lead < 0x80) return 1;
  size_t length;
  uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;  // a continuation byte or a byte that never starts a sequence
  }
  for (size_t k = 1; k < length; ++k) {
    if (i + k >= bytes.size()) return 0;
    const uint8_t next = byte(i + k);
    const uint8_t min = k == 1 ? low : 0x80;
    const uint8_t max = k == 1 ? high : 0xBF;
    if (next < min || next > max) return 0;
    subpart = k + 1;
  }
  return length;
}

// Where the first ill-formed sequence at or after `from` starts (npos: none), with the
// length of its maximal subpart in `subpart`.
size_t firstIllFormed(std::string_view bytes, size_t from, size_t& subpart) {
  size_t i = from;
  while (i < bytes.size()) {
    // Eight ASCII bytes at a time: names, keys and paths are mostly ASCII.
    for (uint64_t word; bytes.size() - i >= sizeof word; i += sizeof word) {
      std::memcpy(&word, bytes.data() + i, sizeof word);
      if ((word & 0x8080808080808080u) != 0) break;
    }
    if (i == bytes.size()) break;
    if (static_cast<uint8_t>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    const size_t length = wellFormedLength(bytes, i, subpart);
    if (length == 0) return i;
    i += length;
  }
  return std::string_view::npos;
}

// Whether no byte has its high bit set, read a word at a time (the last word overlapping
// the one before it): most text the host sends is ASCII, and most of it short.
bool isAscii(std::string_view bytes) {
  const char* data = bytes.data();
  const size_t size = bytes.size();
  const auto load = [data]<typename Word>(Word, size_t at) {
    Word word;
    std::memcpy(&word, data + at, sizeof word);
    return uint64_t{word};
  };
  uint64_t any = 0;
  if (size >= 8) {
    for (size_t at = 0; at + 8 <= size; at += 8) any |= load(uint64_t{}, at);
    any |= load(uint64_t{}, size - 8);
  } else if (size >= 4) {
    any = load(uint32_t{}, 0) | load(uint32_t{}, size - 4);
  } else {
    for (size_t at = 0; at < size; ++at) any |= static_cast<uint8_t>(data[at]);
  }
  return (any & 0x8080808080808080u) == 0;
}

}  // namespace

bool isWellFormedUtf8(std::string_view bytes) {
  if (isAscii(bytes)) return true;
  size_t subpart;
  return firstIllFormed(bytes, 0, subpart) == std::string_view::npos;
}

std::string utf8TextFromBytes(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  size_t kept = 0;  // where the well-formed bytes not yet copied begin
  size_t subpart;
  // Well-formed text is copied in whole runs; each ill-formed subpart is replaced.
  for (size_t bad = firstIllFormed(bytes, 0, subpart); bad != std::string_view::npos;
       bad = firstIllFormed(bytes, kept, subpart)) {
    text.append(bytes.substr(kept, bad - kept));
    text.append(kReplacementCharacter);
    kept = bad + subpart;
  }
  text.append(bytes.substr(kept));
  return text;
}

std::string utf8TextFromCString(const char* text) {
  return text == nullptr ? std::string() : utf8TextFromBytes(std::string_view(text));
}
