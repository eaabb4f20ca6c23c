#pragma once

#include <string>
#include <string_view>

// Text as the platform's strings hold it: always well-formed UTF-8 (shortest forms only,
// no surrogates, nothing above U+10FFFF). Every string the host sends over a channel or
// hands out across the C boundary passes through here first.

// True when `bytes` is well-formed UTF-8 as it stands.
bool isWellFormedUtf8(std::string_view bytes);

// `bytes` taken in as well-formed UTF-8: each maximal subpart of an ill-formed sequence
// becomes one U+FFFD, the practice the Unicode standard recommends. So "A FF C0 B" gives
// two replacement characters and a three-byte sequence cut short gives one. Well-formed
// text comes back unchanged.
std::string utf8TextFromBytes(std::string_view bytes);
// The same for a NUL-terminated text; null gives the empty string.
std::string utf8TextFromCString(const char* text);
