#include "macos/Flutter/engine/EngineSocket.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <utility>

namespace {

constexpr size_t kMaxPathLength = sizeof(sockaddr_un::sun_path) - 1;

sockaddr_un addressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.data(), path.size());
  return address;
}

bool isSocketFile(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

bool exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

// Whether a process accepts connections on the socket file at `path`.
bool someoneListens(const std::string& path) {
  const int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (probe < 0) return false;
  const sockaddr_un address = addressOf(path);
  const int result = connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  // A full backlog (EAGAIN) still means a listener.
  const bool listening = result == 0 || errno == EAGAIN || errno == EINPROGRESS;
  ::close(probe);
  return listening;
}

std::string systemError(const char* what) { return std::string(what) + ": " + strerror(errno); }

// "~" and eight random hex digits: the name a socket is made under before it is renamed.
constexpr size_t kTemporarySuffixLength = 9;

std::string temporarySuffix() {
  static thread_local std::mt19937 random{std::random_device{}()};
  char suffix[kTemporarySuffixLength + 1];
  std::snprintf(suffix, sizeof suffix, "~%08x", static_cast<unsigned>(random()));
  return suffix;
}

}  // namespace

int connectUnixSocket(const std::string& path) {
  if (path.empty() || path.size() > kMaxPathLength) {
    errno = ENAMETOOLONG;
    return -1;
  }
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  const sockaddr_un address = addressOf(path);
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return -1;
  }
  return fd;
}

EngineSocket EngineSocket::listenAt(const std::string& path, std::string* error) {
  auto refuse = [error](std::string why) {
    if (error) *error = std::move(why);
    return EngineSocket();
  };
  if (path.empty()) return refuse("the socket path is empty");
  if (path.size() > kMaxPathLength) {
    return refuse("the socket path is too long for a Unix socket (" + std::to_string(path.size()) +
                  " bytes, at most " + std::to_string(kMaxPathLength) + ")");
  }
  if (exists(path)) {
    if (!isSocketFile(path)) return refuse("something other than a socket is at the path");
    if (someoneListens(path)) return refuse("another process is listening on the socket");
  }

  EngineSocket listener;
  listener.fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listener.fd_ < 0) return refuse(systemError("socket"));

  // Made under a neighbouring name and renamed into place once it listens, so a peer that
  // sees the file can connect. The neighbouring name is one nobody holds: a random suffix,
  // and bind() itself refuses a name that exists, so no one else's file is ever removed.
  // A path too near the length limit leaves no room for that name; there the socket is
  // made in place (a stale socket there was found unused above).
  const bool viaTemporary = path.size() + kTemporarySuffixLength <= kMaxPathLength;
  std::string made = path;
  if (!viaTemporary && isSocketFile(path)) unlink(path.c_str());
  for (int attempt = 0;; ++attempt) {
    if (viaTemporary) made = path + temporarySuffix();
    const sockaddr_un address = addressOf(made);
    if (bind(listener.fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) break;
    if (!viaTemporary || errno != EADDRINUSE || attempt == 15) return refuse(systemError("bind"));
  }
  // No connection is possible before listen(), so the file is private before anyone
  // can reach it.
  if (chmod(made.c_str(), 0600) != 0 || listen(listener.fd_, 16) != 0 ||
      (viaTemporary && rename(made.c_str(), path.c_str()) != 0)) {
    const std::string why = systemError("listen");
    unlink(made.c_str());
    return refuse(why);
  }
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) {
    listener.device_ = info.st_dev;
    listener.inode_ = info.st_ino;
  }
  listener.path_ = path;
  return listener;
}

EngineSocket::EngineSocket(EngineSocket&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      device_(other.device_),
      inode_(other.inode_) {}

EngineSocket& EngineSocket::operator=(EngineSocket&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
    device_ = other.device_;
    inode_ = other.inode_;
  }
  return *this;
}

EngineSocket::~EngineSocket() { close(); }

void EngineSocket::close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  struct stat info {};
  if (stat(path_.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_) {
    unlink(path_.c_str());
  }
}
