#include "macos/Flutter/engine/EngineTransportServer.h"

#include <malloc.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "macos/Flutter/engine/EnginePeer.h"

std::unique_ptr<EngineTransportServer> EngineTransportServer::start(
    const std::string& path, std::shared_ptr<FlutterEngineMessenger> messenger,
    std::string* error) {
  EngineSocket socket = EngineSocket::listenAt(path, error);
  if (!socket.valid()) return nullptr;
  const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd < 0) {
    if (error) *error = std::string("eventfd: ") + strerror(errno);
    return nullptr;
  }
  std::unique_ptr<EngineTransportServer> server(
      new EngineTransportServer(std::move(socket), wakeFd, std::move(messenger)));
  server->thread_ = std::thread([raw = server.get()] { raw->run(); });
  return server;
}

EngineTransportServer::EngineTransportServer(EngineSocket socket, int wakeFd,
                                             std::shared_ptr<FlutterEngineMessenger> messenger)
    : socket_(std::move(socket)),
      path_(socket_.path()),
      wakeFd_(wakeFd),
      messenger_(std::move(messenger)) {}

EngineTransportServer::~EngineTransportServer() {
  stop();
  ::close(wakeFd_);
}

void EngineTransportServer::stop() {
  if (stopping_.exchange(true)) return;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t ignored = ::write(wakeFd_, &one, sizeof one);
  if (thread_.joinable()) thread_.join();
  socket_.close();
}

void EngineTransportServer::run() {
  pthread_setname_np(pthread_self(), "engine-io");
  std::shared_ptr<EnginePeer> peer;
  auto endPeer = [&peer] {
    peer->close();
    peer.reset();
  };
  while (!stopping_.load()) {
    pollfd fds[3] = {{wakeFd_, POLLIN, 0}, {socket_.fd(), POLLIN, 0}, {-1, 0, 0}};
    int timeout = -1;
    if (peer) {
      fds[2].fd = peer->fd();
      // A peer that leaves its answers unread is not read either until it catches up; its
      // partial frame's clock waits meanwhile, since it is the host that does not read.
      const bool reading = peer->wantsInput();
      if (!reading) peer->restartPartialFrameClock();
      fds[2].events =
          static_cast<short>((reading ? POLLIN : 0) | (peer->hasPending() ? POLLOUT : 0));
      if (const auto deadline = reading ? peer->partialFrameDeadline() : std::nullopt) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            *deadline - std::chrono::steady_clock::now());
        timeout = static_cast<int>(std::clamp<int64_t>(left.count(), 0, 60'000));
      }
    }
    if (poll(fds, 3, timeout) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    // A frame begun and not finished in time ends its connection: a stalled peer must not
    // hold the only place for one.
    if (peer && peer->wantsInput()) {
      const auto deadline = peer->partialFrameDeadline();
      if (deadline && std::chrono::steady_clock::now() >= *deadline && fds[2].revents == 0)
        endPeer();
    }
    if (fds[0].revents & POLLIN) {
      uint64_t count;
      [[maybe_unused]] const ssize_t ignored = ::read(wakeFd_, &count, sizeof count);
    }
    // The peer's events come before new connections: a peer that left just before the
    // next one connected is gone by the time the next one is looked at.
    if (peer && fds[2].revents != 0) {
      if (fds[2].revents & POLLOUT) peer->flushPending();
      if ((fds[2].revents & (POLLIN | POLLHUP | POLLERR)) && !peer->readAvailable()) endPeer();
    }
    if (peer && peer->broken()) endPeer();
    // The allocator keeps what a burst of requests freed; it goes back to the system once
    // the burst is answered, rather than staying with an idle host.
    if (peer && peer->takeBurstEnded()) malloc_trim(0);
    if (fds[1].revents & POLLIN) {
      // A peer that has left but whose leaving was not read yet makes way for the next.
      if (peer && !peer->readAvailable()) endPeer();
      accept(peer);
    }
  }
  if (peer) endPeer();
}

void EngineTransportServer::accept(std::shared_ptr<EnginePeer>& peer) {
  for (;;) {
    const int fd = accept4(socket_.fd(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
      if (errno == EINTR) continue;
      return;  // EAGAIN: none left; anything else: try again on the next turn
    }
    if (peer) {
      // One peer at a time.
      ::close(fd);
      continue;
    }
    peer = std::make_shared<EnginePeer>(fd, wakeFd_, messenger_);
    if (messenger_) messenger_->attach(peer);
    // Connections queued behind it wait for the next turn: if this one has already left
    // (a probe that connected and closed), that is seen first and the next is served.
    return;
  }
}
