#include "platform/Foundation/FileContents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {
namespace {

std::string largerThan(size_t maximumSize) {
  return "is larger than " + std::to_string(maximumSize) + " bytes";
}

std::string openProblem(int error) {
  if (error == ENOENT) return "does not exist";
  return std::string("cannot be read: ") + std::strerror(error);
}

// Reads an open regular file up to the bound; the problem when it fails.
FileRead readOpenFile(int fd, size_t maximumSize) {
  std::string bytes;
  char buffer[16384];
  while (true) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return {std::nullopt, openProblem(errno)};
    if (count == 0) return {std::move(bytes), {}};
    // The file may grow while it is read; the bound still holds.
    if (bytes.size() + static_cast<size_t>(count) > maximumSize)
      return {std::nullopt, largerThan(maximumSize)};
    bytes.append(buffer, static_cast<size_t>(count));
  }
}

}  // namespace

FileRead readFile(const std::string& path, size_t maximumSize) {
  // Non-blocking, so that opening a FIFO with no writer returns at once.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return {std::nullopt, openProblem(errno)};
  FileRead result;
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    result.problem = openProblem(errno);
  } else if (S_ISDIR(info.st_mode)) {
    result.problem = "is a directory";
  } else if (!S_ISREG(info.st_mode)) {
    result.problem = "is not a regular file";
  } else if (static_cast<unsigned long long>(info.st_size) > maximumSize) {
    result.problem = largerThan(maximumSize);
  } else {
    result = readOpenFile(fd, maximumSize);
  }
  ::close(fd);
  return result;
}

std::optional<std::string> readFileContents(const std::string& path, size_t maximumSize) {
  return readFile(path, maximumSize).contents;
}

}  // namespace platform
