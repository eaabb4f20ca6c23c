#include "platform/Foundation/URL.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <string_view>
#include <vector>

#include "platform/Foundation/DirectoryCheckScope.h"

namespace {

bool isDirectoryOnDisk(const std::string& path) { return platform::isExistingDirectory(path); }

std::string currentDirectory() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    // ERANGE: a longer buffer helps; anything else (the folder was removed): take the
    // root, so the URL still names an absolute path.
    if (errno != ERANGE) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

// A relative path taken relative to the current directory.
std::string absolutePath(const std::string& path) {
  return !path.empty() && path.front() == '/' ? path : currentDirectory() + "/" + path;
}

std::string joinedPath(const std::string& path, const std::string& component) {
  return path + (path.empty() || path.back() != '/' ? "/" : "") + component;
}

// Without trailing slashes, except that the root stays "/".
std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The bytes a path keeps as they are in URL text, as a table: encoding and decoding run
// over every byte of every path, and long path lists are common.
constexpr std::array<bool, 256> kKeptInPath = [] {
  std::array<bool, 256> kept{};
  for (int c = 'a'; c <= 'z'; ++c) kept[c] = true;
  for (int c = 'A'; c <= 'Z'; ++c) kept[c] = true;
  for (int c = '0'; c <= '9'; ++c) kept[c] = true;
  for (const char* c = "-._~/!$&'()*+,;=:@"; *c != '\0'; ++c) {
    kept[static_cast<unsigned char>(*c)] = true;
  }
  return kept;
}();

bool keptInPath(unsigned char c) { return c < 0x80 && kKeptInPath[c]; }

// The first position at or after `from` that holds one of `Stops`, or npos.
template <char... Stops>
size_t findAny(const std::string& text, size_t from) {
  for (size_t i = from; i < text.size(); ++i) {
    if (((text[i] == Stops) || ...)) return i;
  }
  return std::string::npos;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

namespace platform {

std::string percentEncodePath(const std::string& path) {
  std::string encoded;
  appendPercentEncodedPath(encoded, path);
  return encoded;
}

void appendPercentEncodedPath(std::string& text, std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  text.reserve(text.size() + path.size());
  // Runs of bytes kept as they are go in whole; paths are mostly such runs.
  for (size_t i = 0; i < path.size();) {
    size_t run = i;
    while (run < path.size() && keptInPath(static_cast<unsigned char>(path[run]))) ++run;
    text.append(path, i, run - i);
    if (run == path.size()) break;
    const auto byte = static_cast<unsigned char>(path[run]);
    const char escape[] = {'%', kHex[byte >> 4], kHex[byte & 0xF]};
    text.append(escape, sizeof escape);
    i = run + 1;
  }
}

std::optional<std::string> percentDecode(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  size_t i = 0;
  for (size_t percent; (percent = text.find('%', i)) != std::string_view::npos; i = percent + 3) {
    decoded.append(text.substr(i, percent - i));  // the run before the escape, as it stands
    if (percent + 2 >= text.size()) return std::nullopt;
    const int high = hexValue(text[percent + 1]);
    const int low = hexValue(text[percent + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    decoded += static_cast<char>(high << 4 | low);
  }
  decoded.append(text.substr(i));
  return decoded;
}

}  // namespace platform

URL URL::withPath(std::string scheme, std::string authority, std::string path, bool isDirectory,
                  std::string suffix) {
  URL url;
  url.scheme_ = std::move(scheme);
  url.authority_ = std::move(authority);
  url.directory_ = isDirectory || (!path.empty() && path.back() == '/');
  url.path_ = withoutTrailingSlashes(std::move(path));
  url.suffix_ = std::move(suffix);
  return url;
}

URL URL::fileURLWithPath(const std::string& path) {
  std::string absolute = absolutePath(path);
  const bool directory = isDirectoryOnDisk(absolute);
  return withPath("file", "//", std::move(absolute), directory, "");
}

std::vector<URL> URL::fileURLsWithPaths(const std::vector<std::string>& paths) {
  // Long lists usually come from a few folders: their directory checks are made per
  // folder, with the answers each path would get alone.
  const platform::DirectoryCheckScope directoryChecks;
  std::vector<URL> urls;
  urls.reserve(paths.size());
  for (const auto& path : paths) urls.push_back(fileURLWithPath(path));
  return urls;
}

URL URL::fileURLWithPath(const std::string& path, bool isDirectory) {
  return withPath("file", "//", absolutePath(path), isDirectory || path.empty(), "");
}

std::optional<URL> URL::fromString(const std::string& string) {
  // scheme = ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ), then ":".
  size_t colon = 0;
  while (colon < string.size() && string[colon] != ':') {
    const auto c = static_cast<unsigned char>(string[colon]);
    const bool valid = colon == 0 ? std::isalpha(c) != 0
                                  : std::isalnum(c) != 0 || c == '+' || c == '-' || c == '.';
    if (!valid) return std::nullopt;
    ++colon;
  }
  if (colon == 0 || colon == string.size()) return std::nullopt;
  std::string scheme = string.substr(0, colon);
  for (auto& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

  size_t position = colon + 1;
  std::string authority;
  if (string.compare(position, 2, "//") == 0) {
    const size_t end = findAny<'/', '?', '#'>(string, position + 2);
    authority =
        string.substr(position, end == std::string::npos ? std::string::npos : end - position);
    position += authority.size();
  }
  const size_t pathEnd = std::min(findAny<'?', '#'>(string, position), string.size());
  auto path =
      platform::percentDecode(std::string_view(string).substr(position, pathEnd - position));
  if (!path) return std::nullopt;
  if (scheme == "file" && path->find('\0') != std::string::npos) return std::nullopt;
  return withPath(std::move(scheme), std::move(authority), std::move(*path), false,
                  string.substr(pathEnd));
}

std::string URL::absoluteString() const {
  std::string text;
  text.reserve(scheme_.size() + 1 + authority_.size() + path_.size() + 1 + suffix_.size());
  text.append(scheme_).append(1, ':').append(authority_);
  platform::appendPercentEncodedPath(text, path_);
  if (directory_ && path_ != "/" && !path_.empty()) text += '/';
  return text.append(suffix_);
}

URL URL::appendingPathComponent(const std::string& component) const {
  if (component.empty()) return *this;
  return appendingPathComponent(component,
                                isFileURL() && isDirectoryOnDisk(joinedPath(path_, component)));
}

URL URL::appendingPathComponent(const std::string& component, bool isDirectory) const {
  if (component.empty()) return *this;
  return withPath(scheme_, authority_, joinedPath(path_, component), isDirectory, suffix_);
}
