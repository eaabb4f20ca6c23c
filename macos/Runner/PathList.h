#pragma once

#include <string>
#include <string_view>
#include <vector>

// The path lists that cross the clipboard's C boundary: paths separated by line feeds.

// The paths in `text`: the pieces between line feeds, with empty pieces dropped, so that
// leading, trailing and repeated line feeds give no path. The text is split as a reader
// sees its characters: a carriage return followed by a line feed is one character, not a
// line feed, and does not split. Nothing is trimmed: spaces and a lone carriage return
// stay part of the path.
std::vector<std::string> splitPathList(std::string_view text);

// `paths` joined by single line feeds, with none after the last; empty for no paths.
std::string joinPathList(const std::vector<std::string>& paths);
// Adds `path` to the list in `text`, after a line feed unless it is the first.
void appendToPathList(std::string& text, std::string_view path);
