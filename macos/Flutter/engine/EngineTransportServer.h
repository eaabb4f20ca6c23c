#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "macos/Flutter/engine/EngineSocket.h"
#include "macos/Flutter/engine/FlutterEngineMessenger.h"

class EnginePeer;

// Serves the engine transport at a socket path: one peer at a time, attached to the
// messenger as its Dart side while connected. A second connection made while a peer is
// attached is closed at once; when the peer leaves, the next one is accepted. All socket
// I/O happens on one thread, "engine-io".
class EngineTransportServer {
 public:
  // Listens at `path` and starts the I/O thread. On failure returns nullptr and the
  // reason in `error`. `messenger` may be null: every message is then answered empty.
  static std::unique_ptr<EngineTransportServer> start(
      const std::string& path, std::shared_ptr<FlutterEngineMessenger> messenger,
      std::string* error);

  ~EngineTransportServer();
  EngineTransportServer(const EngineTransportServer&) = delete;
  EngineTransportServer& operator=(const EngineTransportServer&) = delete;

  // Ends the I/O thread, the peer's connection and the socket (its file is removed).
  // Idempotent.
  void stop();

  const std::string& path() const { return path_; }

 private:
  EngineTransportServer(EngineSocket socket, int wakeFd,
                        std::shared_ptr<FlutterEngineMessenger> messenger);
  void run();
  void accept(std::shared_ptr<EnginePeer>& peer);

  EngineSocket socket_;
  const std::string path_;
  const int wakeFd_;
  const std::shared_ptr<FlutterEngineMessenger> messenger_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};
