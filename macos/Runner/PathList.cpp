#include "macos/Runner/PathList.h"

std::vector<std::string> splitPathList(std::string_view text) {
  std::vector<std::string> paths;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    const bool end = i == text.size();
    // A line feed right after a carriage return belongs to it.
    const bool separator = !end && text[i] == '\n' && (i == 0 || text[i - 1] != '\r');
    if (!end && !separator) continue;
    if (i > start) paths.emplace_back(text.substr(start, i - start));
    start = i + 1;
  }
  return paths;
}

std::string joinPathList(const std::vector<std::string>& paths) {
  size_t size = 0;
  for (const auto& path : paths) size += path.size() + 1;
  std::string text;
  text.reserve(size);
  for (const auto& path : paths) {
    if (&path != &paths.front()) text += '\n';
    text += path;
  }
  return text;
}
