#include "platform/dispatch/BriefLook.h"

#include <sched.h>

namespace platform {

bool mayRunBesideOtherThreads() {
  thread_local const bool several = [] {
    cpu_set_t processors;
    CPU_ZERO(&processors);
    // Unknown affinity: taken as one processor, where yielding is always right.
    return ::sched_getaffinity(0, sizeof processors, &processors) == 0 &&
           CPU_COUNT(&processors) > 1;
  }();
  return several;
}

}  // namespace platform
