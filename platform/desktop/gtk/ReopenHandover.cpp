#include "platform/desktop/gtk/ReopenHandover.h"

#include <glib-unix.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <functional>

#include "platform/desktop/WindowServerControl.h"

namespace platform {

namespace {

constexpr char kReopen = 'r';
constexpr char kReopened = 'k';

// An abstract socket address (it vanishes with the process that holds it).
sockaddr_un socketAddress(const std::string& name, socklen_t& length) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const size_t size = std::min(name.size(), sizeof(address.sun_path) - 1);
  std::memcpy(address.sun_path + 1, name.data(), size);
  length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + size);
  return address;
}

// Waits up to `milliseconds` for one byte on `socket`.
bool receiveByte(int socket, char expected, int milliseconds) {
  pollfd ready{socket, POLLIN, 0};
  char byte = 0;
  return poll(&ready, 1, milliseconds) == 1 && read(socket, &byte, 1) == 1 && byte == expected;
}

}  // namespace

ReopenHandover::ReopenHandover(const std::string& display, const std::string& bundleIdentifier) {
  std::string name =
      "tolvek-reopen/" + std::to_string(getuid()) + "/" + display + "/" + bundleIdentifier;
  // Long names are shortened to a digest so that each still has an address of its own.
  if (name.size() > 100) name = "tolvek-reopen/" + std::to_string(std::hash<std::string>{}(name));
  address_ = name;
}

ReopenHandover::~ReopenHandover() {
  if (source_ != 0) g_source_remove(source_);
  if (listener_ >= 0) ::close(listener_);
}

bool ReopenHandover::handOver() {
  if (askRunningInstance()) return true;
  // Two starts at once: the one that did not get the address asks the one that did.
  if (!listen()) return askRunningInstance();
  return false;
}

bool ReopenHandover::askRunningInstance() const {
  const int connection = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (connection < 0) return false;
  socklen_t length = 0;
  const sockaddr_un address = socketAddress(address_, length);
  const bool answered =
      connect(connection, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
      write(connection, &kReopen, 1) == 1 && receiveByte(connection, kReopened, 5000);
  ::close(connection);
  return answered;
}

bool ReopenHandover::listen() {
  listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listener_ < 0) return false;
  socklen_t length = 0;
  const sockaddr_un address = socketAddress(address_, length);
  if (bind(listener_, reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
      ::listen(listener_, 4) != 0) {
    ::close(listener_);
    listener_ = -1;
    return false;
  }
  source_ = g_unix_fd_add(listener_, G_IO_IN, onRequest, this);
  return true;
}

gboolean ReopenHandover::onRequest(gint listener, GIOCondition, gpointer) {
  const int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
  if (connection < 0) return G_SOURCE_CONTINUE;
  // Only the same user may bring the application back.
  ucred peer{};
  socklen_t size = sizeof(peer);
  const bool sameUser =
      getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == getuid();
  if (sameUser && receiveByte(connection, kReopen, 200)) {
    WindowServerControl::reopen();
    [[maybe_unused]] const ssize_t written = write(connection, &kReopened, 1);
  }
  ::close(connection);
  return G_SOURCE_CONTINUE;
}

}  // namespace platform
