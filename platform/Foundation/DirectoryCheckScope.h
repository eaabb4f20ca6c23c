#pragma once

#include <memory>
#include <optional>
#include <string>

namespace platform {

// Within its scope, on the thread that made it, the checks that file URLs make for "is
// this path an existing directory?" are answered per folder rather than per path, with
// the answers they would get one by one:
// - a folder that is not a searchable directory (missing, a file, no permission) answers
//   "no" for every path in it, after one look at the folder;
// - a folder asked about many times is listed once: an entry listed as a directory is
//   one, an entry listed as a file, socket or device is not, and a name not listed, a
//   symbolic link or an entry of unknown type is looked at on its own;
// - anything else is looked at on its own, as without the scope.
// The file system is taken as it stands during the scope: a directory made or removed
// meanwhile may or may not be seen, as with separate checks made at slightly different
// moments. Scopes do not nest; an inner one is ignored.
class DirectoryCheckScope {
 public:
  DirectoryCheckScope();
  ~DirectoryCheckScope();
  DirectoryCheckScope(const DirectoryCheckScope&) = delete;
  DirectoryCheckScope& operator=(const DirectoryCheckScope&) = delete;

  class Folders;

 private:
  std::unique_ptr<Folders> folders_;
  bool active_ = false;
};

// Whether the absolute `path` names an existing directory (symbolic links followed), by
// the calling thread's scope when it has one, else by looking at the path.
bool isExistingDirectory(const std::string& path);

}  // namespace platform
