#pragma once

#include <optional>
#include <string>

namespace platform {

// `component` below `path`, joined by one "/" (none added after a path that ends with
// one, so the root gives "/component", not "//component").
std::string appendingPathComponent(const std::string& path, const std::string& component);

// The user's home folder: $HOME when it is an absolute path (whether or not it exists:
// nothing here creates or tests folders), else the home folder of the user's password
// entry. Nothing when neither names one; then no user directory can be named.
std::optional<std::string> homeDirectory();

// `relative` below the home folder; nothing when there is no home folder.
std::optional<std::string> pathInHomeDirectory(const std::string& relative);

// An XDG base directory: the variable's value when it is an absolute path, else
// `fallback` below the home folder (relative values are ignored, as XDG says).
// Read afresh at each call.
std::optional<std::string> xdgBaseDirectory(const char* variable, const std::string& fallback);

// An XDG user directory ("DOCUMENTS", "DOWNLOAD") from user-dirs.dirs in
// $XDG_CONFIG_HOME (default ~/.config): its XDG_<name>_DIR value when that is
// "$HOME/..." or absolute, else `fallback` below the home folder. Read afresh each call.
std::optional<std::string> xdgUserDirectory(const std::string& name, const std::string& fallback);

// `path` with the home folder at its start written as "~" (the inverse of tilde
// expansion); other paths unchanged. A home folder of "/" is never abbreviated.
std::string abbreviatingWithTildeInPath(const std::string& path);

}  // namespace platform
