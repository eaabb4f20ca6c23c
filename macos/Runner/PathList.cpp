#include "macos/Runner/PathList.h"

std::vector<std::string> splitPathList(std::string_view text) {
  std::vector<std::string> paths;
  size_t start = 0;
  for (size_t from = 0; from <= text.size();) {
    size_t end = text.find('\n', from);
    if (end == std::string_view::npos) end = text.size();
    // A line feed right after a carriage return belongs to it.
    if (end < text.size() && end > 0 && text[end - 1] == '\r') {
      from = end + 1;
      continue;
    }
    if (end > start) paths.emplace_back(text.substr(start, end - start));
    start = from = end + 1;
  }
  return paths;
}

std::string joinPathList(const std::vector<std::string>& paths) {
  size_t size = 0;
  for (const auto& path : paths) size += path.size() + 1;
  std::string text;
  text.reserve(size);
  for (const auto& path : paths) appendToPathList(text, path);
  return text;
}

void appendToPathList(std::string& text, std::string_view path) {
  if (!text.empty()) text += '\n';
  text += path;
}
