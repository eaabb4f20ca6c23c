#include "platform/dispatch/MainThread.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace platform {

bool isMainThread() { return static_cast<pid_t>(syscall(SYS_gettid)) == getpid(); }

void debugCheckFailed(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
  std::abort();
}

}  // namespace platform
