#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A URL, as Foundation's `URL` value: above all a file URL made from a path.
//
// A file URL's text is "file://" followed by the path, percent-encoded byte by byte:
// every byte but the unreserved characters (letters, digits, "-._~"), "/" and the
// characters a path may carry as they are ("!$&'()*+,;=:@") becomes %XX. So "%", "#",
// "?", spaces, control characters (CR, LF) and non-ASCII text all survive the trip
// through the text and back. A directory's URL ends with "/"; `path()` drops it again.
// Nothing else is normalised: ".", ".." and doubled slashes inside the path are kept.
class URL {
 public:
  // The file URL of `path`. A relative path is taken relative to the current directory
  // (the empty path is the current directory itself). The URL is a directory URL when
  // the path ends with "/" or names an existing directory (symbolic links followed).
  static URL fileURLWithPath(std::string path);
  // fileURLWithPath of each path, in order (`paths.map(URL.init(fileURLWithPath:))`), with
  // the disk asked once per folder rather than once per path where that gives the same
  // answers.
  static std::vector<URL> fileURLsWithPaths(std::vector<std::string> paths);
  // The same, with the caller saying whether the path is a directory (no disk access).
  static URL fileURLWithPath(const std::string& path, bool isDirectory);
  // Parses URL text ("scheme:[//authority]path[?query][#fragment]"). Nothing when there
  // is no scheme, when a percent sign is not followed by two hex digits, or when a file
  // URL's path holds an encoded NUL byte (no file path can hold one). Other characters
  // are taken as they stand, raw spaces and non-ASCII text included. A file URL's host
  // ("file://localhost/...") is kept in the text but plays no part in path().
  static std::optional<URL> fromString(const std::string& string);

  // The URL as text, in the encoding above.
  std::string absoluteString() const;
  // The percent-decoded path, without a trailing "/" (except for the root, "/").
  const std::string& path() const { return path_; }
  std::string scheme() const { return scheme_; }
  bool isFileURL() const { return scheme_ == "file"; }
  bool hasDirectoryPath() const { return directory_; }

  // This URL with `component` added to its path after a "/". The empty component gives
  // the URL unchanged. For a file URL, the result is a directory URL when `component` ends
  // with "/" or the new path names an existing directory.
  URL appendingPathComponent(const std::string& component) const;
  URL appendingPathComponent(const std::string& component, bool isDirectory) const;

  bool operator==(const URL& other) const = default;

 private:
  URL() = default;
  static URL withPath(std::string scheme, std::string authority, std::string path, bool isDirectory,
                      std::string suffix);

  std::string scheme_;     // lower case
  std::string authority_;  // "//host" as written, or empty when the text has none
  std::string path_;       // decoded, without trailing "/" (except the root)
  bool directory_ = false;
  std::string suffix_;  // "?query#fragment" as written
};

namespace platform {

// Percent-encoding of a path as file URLs write it, and its inverse. Decoding gives
// nothing for a "%" that is not followed by two hex digits.
std::string percentEncodePath(const std::string& path);
// The same, appended to `text`.
void appendPercentEncodedPath(std::string& text, std::string_view path);
std::optional<std::string> percentDecode(std::string_view text);

}  // namespace platform
