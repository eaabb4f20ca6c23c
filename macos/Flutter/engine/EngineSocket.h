#pragma once

#include <string>

#include <sys/types.h>

// The listening end of the engine transport: a Unix-domain stream socket at a path.
class EngineSocket {
 public:
  // Listens at `path`. The socket file is made with mode 0600 and appears only once it
  // accepts connections. A stale socket file there (nothing listening) is replaced.
  // Refused (an invalid socket and the reason in `error`) when another process listens
  // there, when something other than a socket is there, or when the path does not fit a
  // Unix socket address.
  static EngineSocket listenAt(const std::string& path, std::string* error);

  EngineSocket() = default;
  EngineSocket(EngineSocket&& other) noexcept;
  EngineSocket& operator=(EngineSocket&& other) noexcept;
  ~EngineSocket();

  bool valid() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }

  // Closes the socket and removes its file, if the file is still this socket's.
  void close();

 private:
  int fd_ = -1;
  std::string path_;
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

// Connects to a Unix socket at `path`; returns the file descriptor, or -1 with errno set.
int connectUnixSocket(const std::string& path);
