#include "platform/Foundation/URL.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
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
std::string absolutePath(std::string path) {
  return !path.empty() && path.front() == '/' ? std::move(path) : currentDirectory() + "/" + path;
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
// over every byte of every path, and long path lists are common. Bytes from 0x80 up (UTF-8
// sequences) are never kept.
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

bool keptInPath(char c) { return kKeptInPath[static_cast<unsigned char>(c)]; }

// A URL scheme's characters: a letter first, then letters, digits, "+", "-" and ".".
constexpr std::array<bool, 256> kSchemeCharacter = [] {
  std::array<bool, 256> allowed{};
  for (int c = 'a'; c <= 'z'; ++c) allowed[c] = true;
  for (int c = 'A'; c <= 'Z'; ++c) allowed[c] = true;
  for (int c = '0'; c <= '9'; ++c) allowed[c] = true;
  allowed['+'] = allowed['-'] = allowed['.'] = true;
  return allowed;
}();

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char asciiLowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The first position at or after `from` that holds `c`, or the end of `text`.
size_t findOrEnd(std::string_view text, size_t from, char c) {
  const size_t found = text.find(c, from);  // memchr
  return found == std::string_view::npos ? text.size() : found;
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
  const char* const end = path.data() + path.size();
  for (const char* run = path.data(); run != end;) {
    const char* stop = run;
    while (stop != end && keptInPath(*stop)) ++stop;
    text.append(run, static_cast<size_t>(stop - run));
    if (stop == end) break;
    const auto byte = static_cast<unsigned char>(*stop);
    const char escape[] = {'%', kHex[byte >> 4], kHex[byte & 0xF]};
    text.append(escape, sizeof escape);
    run = stop + 1;
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

URL URL::fileURLWithPath(std::string path) {
  std::string absolute = absolutePath(std::move(path));
  const bool directory = isDirectoryOnDisk(absolute);
  return withPath("file", "//", std::move(absolute), directory, "");
}

std::vector<URL> URL::fileURLsWithPaths(std::vector<std::string> paths) {
  // Long lists usually come from a few folders: their directory checks are made per
  // folder, with the answers each path would get alone.
  const platform::DirectoryCheckScope directoryChecks;
  std::vector<URL> urls;
  urls.reserve(paths.size());
  for (auto& path : paths) urls.push_back(fileURLWithPath(std::move(path)));
  return urls;
}

URL URL::fileURLWithPath(const std::string& path, bool isDirectory) {
  return withPath("file", "//", absolutePath(path), isDirectory || path.empty(), "");
}

std::optional<URL> URL::fromString(const std::string& string) {
  const std::string_view text = string;
  // scheme = ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ), then ":".
  size_t colon = 0;
  while (colon < text.size() && text[colon] != ':') {
    const char c = text[colon];
    if (!(colon == 0 ? isAsciiLetter(c) : kSchemeCharacter[static_cast<unsigned char>(c)]))
      return std::nullopt;
    ++colon;
  }
  if (colon == 0 || colon == text.size()) return std::nullopt;
  std::string scheme(text.substr(0, colon));
  for (auto& c : scheme) c = asciiLowerCase(c);

  // The path ends at the first "?" or "#"; the authority, after "//", at the first "/" too.
  const size_t suffixStart =
      std::min(findOrEnd(text, colon + 1, '?'), findOrEnd(text, colon + 1, '#'));
  size_t position = colon + 1;
  std::string authority;
  if (text.substr(position, 2) == "//") {
    const size_t end = std::min(findOrEnd(text, position + 2, '/'), suffixStart);
    authority = text.substr(position, end - position);
    position = end;
  }
  auto path = platform::percentDecode(text.substr(position, suffixStart - position));
  if (!path) return std::nullopt;
  if (scheme == "file" && path->find('\0') != std::string::npos) return std::nullopt;
  return withPath(std::move(scheme), std::move(authority), std::move(*path), false,
                  std::string(text.substr(suffixStart)));
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
