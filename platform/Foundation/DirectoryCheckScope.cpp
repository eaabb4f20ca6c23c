#include "platform/Foundation/DirectoryCheckScope.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>
#include <unordered_map>

namespace platform {

namespace {

// A folder is listed once this many of its entries were asked about.
constexpr unsigned kListAfter = 64;

bool statIsDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

thread_local DirectoryCheckScope::Folders* currentFolders = nullptr;

}  // namespace

class DirectoryCheckScope::Folders {
 public:
  bool isDirectory(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return statIsDirectory(path);
    const std::string_view name = std::string_view(path).substr(slash + 1);
    if (name == "." || name == "..") return statIsDirectory(path);
    Folder& folder = folderOf(path.substr(0, slash == 0 ? 1 : slash));
    // Nothing below a folder that cannot be searched can be reached, so nothing below it
    // is a directory: a path's own check fails the same way when it walks through it.
    if (!folder.searchable) return false;
    if (folder.listable && !folder.listed && ++folder.asked >= kListAfter) {
      list(folder, path.substr(0, slash + 1));
    }
    if (folder.listed) {
      const auto entry = folder.entries.find(std::string(name));
      if (entry != folder.entries.end()) {
        switch (entry->second) {
          case DT_DIR:
            return true;
          case DT_LNK:
          case DT_UNKNOWN:
            break;  // the entry alone can tell
          default:
            return false;
        }
      }
      // Not listed: some file systems keep entries out of their listings that can still be
      // reached by name.
    }
    return statIsDirectory(path);
  }

 private:
  struct Folder {
    bool searchable = false;
    bool listable = true;
    bool listed = false;
    unsigned asked = 0;
    std::unordered_map<std::string, unsigned char> entries;
  };

  Folder& folderOf(const std::string& path) {
    const auto found = folders_.find(path);
    if (found != folders_.end()) return found->second;
    Folder& folder = folders_[path];
    // The folder itself must be a directory the process may search.
    folder.searchable =
        statIsDirectory(path) && ::faccessat(AT_FDCWD, path.c_str(), X_OK, AT_EACCESS) == 0;
    return folder;
  }

  static void list(Folder& folder, const std::string& path) {
    DIR* directory = ::opendir(path.c_str());
    if (directory == nullptr) {
      folder.listable = false;  // unreadable: every entry is looked at on its own
      return;
    }
    while (const dirent* entry = ::readdir(directory))
      folder.entries.emplace(entry->d_name, entry->d_type);
    ::closedir(directory);
    folder.listed = true;
  }

  std::unordered_map<std::string, Folder> folders_;
};

DirectoryCheckScope::DirectoryCheckScope() {
  if (currentFolders != nullptr) return;
  folders_ = std::make_unique<Folders>();
  currentFolders = folders_.get();
  active_ = true;
}

DirectoryCheckScope::~DirectoryCheckScope() {
  if (active_) currentFolders = nullptr;
}

bool isExistingDirectory(const std::string& path) {
  return currentFolders != nullptr ? currentFolders->isDirectory(path) : statIsDirectory(path);
}

}  // namespace platform
