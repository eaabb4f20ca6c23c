#pragma once

namespace platform {

// True on the process's initial thread, the one that runs the main run loop.
bool isMainThread();

// Stops the process with a message when a debug check fails. Debug builds only call it.
[[noreturn]] void debugCheckFailed(const char* what, const char* file, int line);

}  // namespace platform

#if defined(TOLVEK_DEBUG_CHECKS)
#define TOLVEK_DCHECK(condition, what) \
  ((condition) ? (void)0 : ::platform::debugCheckFailed(what, __FILE__, __LINE__))
#else
#define TOLVEK_DCHECK(condition, what) ((void)0)
#endif

// Work the platform allows only on the main thread says so at its top.
#define assertMainThread() TOLVEK_DCHECK(::platform::isMainThread(), "must run on the main thread")
