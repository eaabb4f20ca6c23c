// The UTF-8 repair of text crossing the C boundary: its output is always well-formed
// UTF-8, and equals the input when the input was well-formed.
#include <cstdlib>
#include <string_view>

#include "platform/text/Utf8Text.h"

namespace {

// An independent check of well-formedness, by code point.
bool wellFormed(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    size_t n;
    uint32_t cp;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      n = 2, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      n = 3, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      n = 4, cp = c & 0x07;
    } else {
      return false;
    }
    if (i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k) {
      if ((b(i + k) & 0xC0) != 0x80) return false;
      cp = cp << 6 | (b(i + k) & 0x3F);
    }
    const uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string output = utf8TextFromBytes(input);
  if (!wellFormed(output)) std::abort();
  if (wellFormed(input) && output != input) std::abort();
  return 0;
}
