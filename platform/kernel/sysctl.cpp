#include "platform/kernel/sysctl.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <span>

#include "platform/kernel/KernelVariables.h"

namespace platform::kernel {
namespace {

int fail(int error) {
  errno = error;
  return -1;
}

// Copies `size` bytes of a value out by the kernel's rules: a size query without a
// buffer, a full copy, or a truncated copy that fails with ENOMEM.
int copyOut(const void* value, size_t size, void* oldp, size_t* oldlenp) {
  const size_t capacity = oldlenp != nullptr ? *oldlenp : 0;
  if (oldp == nullptr) {
    if (oldlenp != nullptr) *oldlenp = size;
    return 0;
  }
  const size_t copied = std::min(capacity, size);
  if (copied > 0) std::memcpy(oldp, value, copied);
  if (oldlenp != nullptr) *oldlenp = copied;
  return copied < size ? fail(ENOMEM) : 0;
}

}  // namespace

int sysctl(const int* name, unsigned int namelen, void* oldp, size_t* oldlenp, const void* newp,
           size_t /*newlen*/) {
  if (namelen < 2 || namelen > static_cast<unsigned int>(CTL_MAXNAME)) return fail(EINVAL);
  if (name == nullptr) return fail(EFAULT);
  const auto variableName = nameForMIB(std::span<const int>(name, namelen));
  if (!variableName) return fail(ENOENT);
  const KernelVariable variable = readKernelVariable(*variableName);
  if (variable.error == ENOENT) return fail(ENOENT);
  if (newp != nullptr) return fail(EPERM);
  if (variable.error != 0) return fail(variable.error);
  return copyOut(variable.bytes.data(), variable.bytes.size(), oldp, oldlenp);
}

int sysctlnametomib(const char* name, int* mibp, size_t* sizep) {
  if (name == nullptr || sizep == nullptr) return fail(EFAULT);
  const KernelName* entry = findKernelName(name);
  if (entry == nullptr) return fail(ENOENT);
  // A variable that this machine lacks has no name either.
  if (entry->mib.size() > 1 && readKernelVariable(entry->name).error == ENOENT) return fail(ENOENT);
  // Capacity beyond the deepest MIB is never used (and must not overflow the byte count).
  size_t bytes = std::min(*sizep, static_cast<size_t>(CTL_MAXNAME)) * sizeof(int);
  const int status = copyOut(entry->mib.data(), entry->mib.size() * sizeof(int), mibp, &bytes);
  *sizep = bytes / sizeof(int);
  return status;
}

bool isPOSIXErrorCode(int code) { return code > 0 && strerrorname_np(code) != nullptr; }

}  // namespace platform::kernel
