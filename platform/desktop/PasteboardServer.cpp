#include "platform/desktop/PasteboardServer.h"

#include <atomic>

namespace platform {

namespace {

std::atomic<PasteboardServer*> installed{nullptr};

}  // namespace

PasteboardServer* pasteboardServer() { return installed.load(std::memory_order_acquire); }

void installPasteboardServer(PasteboardServer* server) {
  installed.store(server, std::memory_order_release);
}

}  // namespace platform
