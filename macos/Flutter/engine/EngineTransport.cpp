#include "macos/Flutter/engine/EngineTransport.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "macos/Flutter/engine/EngineTransportServer.h"
#include "macos/Flutter/engine/FlutterEngine.h"
#include "platform/dispatch/DispatchQueue.h"

namespace {

EngineTransportServer*& processServer() {
  static EngineTransportServer* server = nullptr;
  return server;
}

// At exit the I/O thread stops before the main queue it posts to goes away, and the
// socket file is removed.
void stopProcessServer() {
  if (auto* server = processServer()) server->stop();
}

}  // namespace

void startEngineTransportFromEnvironment() {
  const char* path = std::getenv("TOLVEK_ENGINE_SOCKET");
  if (path == nullptr || *path == '\0' || processServer() != nullptr) return;
  const auto engine = FlutterEngine::running();
  std::string error;
  auto server =
      EngineTransportServer::start(path, engine ? engine->binaryMessenger() : nullptr, &error);
  if (!server) {
    std::fprintf(stderr, "tolvek: cannot attach the engine at %s: %s\n", path, error.c_str());
    std::fflush(stderr);
    std::exit(2);
  }
  // Made before the exit handler is registered, so it is destroyed after the handler ran.
  platform::mainQueue();
  processServer() = server.release();  // lives as long as the process
  std::atexit(stopProcessServer);
}
