#include "platform/machine/ErrnoNames.h"

#include <cerrno>
#include <string_view>
#include <utility>

namespace platform {

int errnoFromName(const std::string& name) {
#define TOLVEK_ERRNO(code) \
  { #code, code }
  static constexpr std::pair<std::string_view, int> kNames[] = {
      TOLVEK_ERRNO(EPERM),      TOLVEK_ERRNO(ENOENT),  TOLVEK_ERRNO(ESRCH),
      TOLVEK_ERRNO(EINTR),      TOLVEK_ERRNO(EIO),     TOLVEK_ERRNO(ENXIO),
      TOLVEK_ERRNO(E2BIG),      TOLVEK_ERRNO(ENOEXEC), TOLVEK_ERRNO(EBADF),
      TOLVEK_ERRNO(ECHILD),     TOLVEK_ERRNO(EAGAIN),  TOLVEK_ERRNO(ENOMEM),
      TOLVEK_ERRNO(EACCES),     TOLVEK_ERRNO(EFAULT),  TOLVEK_ERRNO(EBUSY),
      TOLVEK_ERRNO(EEXIST),     TOLVEK_ERRNO(ENODEV),  TOLVEK_ERRNO(ENOTDIR),
      TOLVEK_ERRNO(EISDIR),     TOLVEK_ERRNO(EINVAL),  TOLVEK_ERRNO(ENFILE),
      TOLVEK_ERRNO(EMFILE),     TOLVEK_ERRNO(ENOSPC),  TOLVEK_ERRNO(EROFS),
      TOLVEK_ERRNO(EDOM),       TOLVEK_ERRNO(ERANGE),  TOLVEK_ERRNO(ENOTSUP),
      TOLVEK_ERRNO(EOPNOTSUPP), TOLVEK_ERRNO(ENOSYS),  TOLVEK_ERRNO(ETIMEDOUT),
  };
#undef TOLVEK_ERRNO
  for (const auto& [known, code] : kNames)
    if (known == name) return code;
  return 0;
}

}  // namespace platform
