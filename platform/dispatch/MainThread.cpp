#include "platform/dispatch/MainThread.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace platform {

bool isMainThread() {
  // Asked on each call that crosses threads, where two system calls would cost more than the
  // crossing itself: each thread learns the answer once. A thread stays what it was; a child
  // made by fork runs on the thread that forked (the main one, for the host's children).
  thread_local const bool main = static_cast<pid_t>(syscall(SYS_gettid)) == getpid();
  return main;
}

void debugCheckFailed(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
  std::abort();
}

}  // namespace platform
