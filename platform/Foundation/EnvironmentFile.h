#pragma once

#include <map>
#include <string>

namespace platform {

// Reads the assignments of a shell-style environment file (`/etc/machine-info`,
// `user-dirs.dirs`): one `NAME=value` per line, blank lines and `#` comments skipped.
// A value may mix unquoted text (a backslash takes the next character literally),
// '...' (everything literal) and "..." (a backslash escapes $ ` " \ and a newline) and
// ends at unquoted white space. Variables are not expanded: "$HOME/x" stays as written.
// A line that is no assignment, whose quote is never closed, or whose value holds a NUL
// byte, is skipped. When a name
// is assigned twice the last assignment wins.
std::map<std::string, std::string> parseEnvironmentFile(const std::string& text);

}  // namespace platform
