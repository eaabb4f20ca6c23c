#include "platform/AppKit/TerminationSignals.h"

#include <pthread.h>
#include <signal.h>

#include <mutex>
#include <thread>

#include "platform/AppKit/NSApplication.h"
#include "platform/dispatch/DispatchQueue.h"

namespace platform {

void routeTerminationSignalsToApplication() {
  static std::once_flag once;
  std::call_once(once, [] {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    // Blocked here, and so in every thread started from now on: only sigwait() takes them.
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals] {
      pthread_setname_np(pthread_self(), "signals");
      for (;;) {
        int received = 0;
        if (sigwait(&signals, &received) != 0) continue;
        mainQueue().async([] { NSApp()->terminate(nullptr); });
      }
    }).detach();
  });
}

}  // namespace platform
