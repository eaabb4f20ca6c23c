// Splits arbitrary text as the clipboard splits a path list, and takes each path through a
// file URL and back: every path must come back byte for byte, contain no line feed, and
// be non-empty; joining the paths and splitting again gives the same paths.
#include <cstdlib>
#include <string_view>

#include "macos/Runner/PathList.h"
#include "platform/Foundation/URL.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto paths = splitPathList(text);
  for (const auto& path : paths) {
    if (path.empty()) std::abort();
    // A path keeps a line feed only as the second half of a CR LF pair.
    for (size_t at = path.find('\n'); at != std::string::npos; at = path.find('\n', at + 1)) {
      if (at == 0 || path[at - 1] != '\r') std::abort();
    }
    if (path.find('\0') != std::string::npos || path[0] != '/') continue;
    const URL url = URL::fileURLWithPath(path, false);
    const auto parsed = URL::fromString(url.absoluteString());
    if (!parsed || parsed->path() != url.path()) std::abort();
  }
  if (splitPathList(joinPathList(paths)) != paths) {
    // A path that ends in a lone CR joins with the next one: the list format cannot keep
    // it apart, so only lists without such a path must survive.
    for (const auto& path : paths)
      if (path.back() == '\r') return 0;
    std::abort();
  }
  return 0;
}
