#pragma once

#include <string>
#include <string_view>

// Text that crosses the C boundary as NUL-terminated UTF-8 is taken in as well-formed
// UTF-8: each maximal subpart of an ill-formed sequence becomes one U+FFFD, the practice
// the Unicode standard recommends. So "A FF C0 B" gives two replacement characters and a
// three-byte sequence cut short gives one.
std::string utf8TextFromBytes(std::string_view bytes);
std::string utf8TextFromCString(const char* text);
