#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// A file read whole, or why it was not: `problem` says what is wrong in words that follow
// the file's name in a message ("is a directory", "is not a regular file", "is larger
// than 1048576 bytes", "does not exist", "cannot be read: <reason>").
struct FileRead {
  std::optional<std::string> contents;
  std::string problem;
};

// Reads the regular file at `path` whole, if it holds at most `maximumSize` bytes. Never
// blocks on a FIFO or a device and never reads more than the bound, also from a file that
// grows meanwhile.
FileRead readFile(const std::string& path, size_t maximumSize);

// The contents alone: nothing when readFile() found a problem.
std::optional<std::string> readFileContents(const std::string& path, size_t maximumSize);

}  // namespace platform
