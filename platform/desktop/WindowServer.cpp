#include "platform/desktop/WindowServer.h"

#include <stdexcept>

#include "platform/desktop/model/ModelWindowServer.h"
#include "platform/dispatch/MainThread.h"

namespace platform {

namespace {

std::unique_ptr<WindowServer>& installed() {
  static std::unique_ptr<WindowServer> server = std::make_unique<ModelWindowServer>();
  return server;
}

[[noreturn]] void notOnThisDesktop(const WindowServer& server) {
  throw std::invalid_argument(std::string("the screens of the ") + server.name() +
                              " desktop are its monitors; they cannot be rearranged from here");
}

}  // namespace

void WindowServer::moveWindowToScreen(const std::shared_ptr<NSWindow>&, size_t) {
  notOnThisDesktop(*this);
}

void WindowServer::replaceScreens(const std::vector<ScreenDescription>&, std::optional<size_t>) {
  notOnThisDesktop(*this);
}

WindowServer& windowServer() { return *installed(); }

void installWindowServer(std::unique_ptr<WindowServer> server) {
  assertMainThread();
  installed() = std::move(server);
}

}  // namespace platform
