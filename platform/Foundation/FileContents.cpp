#include "platform/Foundation/FileContents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

std::optional<std::string> readFileContents(const std::string& path, size_t maximumSize) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  std::optional<std::string> result;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<unsigned long long>(info.st_size) <= maximumSize) {
    std::string bytes;
    char buffer[16384];
    bool failed = false;
    while (true) {
      const ssize_t count = ::read(fd, buffer, sizeof buffer);
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) {
        failed = true;
        break;
      }
      if (count == 0) break;
      // The file may grow while it is read; the bound still holds.
      if (bytes.size() + static_cast<size_t>(count) > maximumSize) {
        failed = true;
        break;
      }
      bytes.append(buffer, static_cast<size_t>(count));
    }
    if (!failed) result = std::move(bytes);
  }
  ::close(fd);
  return result;
}

}  // namespace platform
