#include "platform/machine/HeapReuse.h"

#include <malloc.h>

namespace platform {

void keepFreedHeapForReuse() {
  constexpr int kMiB = 1 << 20;
  // Fixed values also stop glibc's own adjustment of them, which starts from 128 KiB.
  ::mallopt(M_MMAP_THRESHOLD, 32 * kMiB);
  ::mallopt(M_TRIM_THRESHOLD, 64 * kMiB);
}

}  // namespace platform
