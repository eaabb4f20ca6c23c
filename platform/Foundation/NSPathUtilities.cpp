#include "platform/Foundation/NSPathUtilities.h"

#include <optional>

#include "platform/Foundation/UserDirectories.h"

namespace {

std::optional<std::string> userDirectory(unsigned long directory) {
  switch (directory) {
    case NSDocumentDirectory:
      return platform::xdgUserDirectory("DOCUMENTS", "Documents");
    case NSDownloadsDirectory:
      return platform::xdgUserDirectory("DOWNLOAD", "Downloads");
    case NSApplicationSupportDirectory:
      return platform::xdgBaseDirectory("XDG_DATA_HOME", ".local/share");
    case NSCachesDirectory:
      return platform::xdgBaseDirectory("XDG_CACHE_HOME", ".cache");
    case NSLibraryDirectory:
      return platform::pathInHomeDirectory("Library");
    default:
      return std::nullopt;
  }
}

}  // namespace

std::vector<std::string> NSSearchPathForDirectoriesInDomains(unsigned long directory,
                                                             unsigned long domainMask,
                                                             bool expandTilde) {
  std::vector<std::string> paths;
  if ((domainMask & NSUserDomainMask) == 0) return paths;
  const auto path = userDirectory(directory);
  if (!path) return paths;
  paths.push_back(expandTilde ? *path : platform::abbreviatingWithTildeInPath(*path));
  return paths;
}
