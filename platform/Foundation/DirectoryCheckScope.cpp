#include "platform/Foundation/DirectoryCheckScope.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string_view>
#include <vector>

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
    Folder& folder = folderOf(std::string_view(path).substr(0, slash == 0 ? 1 : slash));
    // Nothing below a folder that cannot be searched can be reached, so nothing below it
    // is a directory: a path's own check fails the same way when it walks through it.
    if (!folder.searchable) return false;
    if (folder.listable && !folder.listed && ++folder.asked >= kListAfter) {
      list(folder, path.substr(0, slash + 1));
    }
    if (folder.listed) {
      if (const auto* type = folder.typeOf(name)) {
        switch (*type) {
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
    // The names listed, one after the other, and a table of the entries by their names'
    // hash (open addressing, at most half full), each slot holding all an entry's facts but
    // its name: a lookup reads about one slot and then the name, without an allocation per
    // entry when the table is made.
    struct Entry {
      size_t hash = 0;
      uint32_t start = 0;   // in `names`
      uint16_t length = 0;  // at most NAME_MAX
      unsigned char type = DT_UNKNOWN;
      bool used = false;
    };
    std::string names;
    std::vector<Entry> entries;  // as listed, until the table is made
    std::vector<Entry> slots;

    // Adds a listed entry; false when the names would not fit the table's offsets.
    bool add(std::string_view name, unsigned char type) {
      if (name.size() > UINT16_MAX || names.size() + name.size() > UINT32_MAX) return false;
      entries.push_back({std::hash<std::string_view>{}(name), static_cast<uint32_t>(names.size()),
                         static_cast<uint16_t>(name.size()), type, true});
      names.append(name);
      return true;
    }

    void index() {
      size_t size = 16;
      while (size < 2 * entries.size()) size *= 2;
      slots.assign(size, Entry{});
      for (const Entry& entry : entries) {
        size_t slot = entry.hash & (size - 1);
        while (slots[slot].used) slot = (slot + 1) & (size - 1);
        slots[slot] = entry;
      }
      entries = {};
    }

    // The listed type of the entry `name`, or null when it was not listed.
    const unsigned char* typeOf(std::string_view name) const {
      const size_t hash = std::hash<std::string_view>{}(name);
      const size_t mask = slots.size() - 1;
      for (size_t slot = hash & mask; slots[slot].used; slot = (slot + 1) & mask) {
        const Entry& entry = slots[slot];
        if (entry.hash == hash && std::string_view(names).substr(entry.start, entry.length) == name)
          return &entry.type;
      }
      return nullptr;
    }
  };

  Folder& folderOf(std::string_view path) {
    // Paths of one folder tend to come together: the last folder is looked at first.
    if (last_ != nullptr && last_->first == path) return last_->second;
    auto found = folders_.find(path);
    if (found == folders_.end()) {
      found = folders_.emplace(std::string(path), Folder{}).first;
      // The folder itself must be a directory the process may search.
      const std::string& name = found->first;
      found->second.searchable =
          statIsDirectory(name) && ::faccessat(AT_FDCWD, name.c_str(), X_OK, AT_EACCESS) == 0;
    }
    last_ = &*found;
    return found->second;
  }

  static void list(Folder& folder, const std::string& path) {
    DIR* directory = ::opendir(path.c_str());
    if (directory == nullptr) {
      folder.listable = false;  // unreadable: every entry is looked at on its own
      return;
    }
    bool whole = true;
    while (const dirent* entry = ::readdir(directory)) {
      if (!(whole = folder.add(entry->d_name, entry->d_type))) break;
    }
    ::closedir(directory);
    if (!whole) {  // too large to hold: every entry is looked at on its own
      folder.names = {};
      folder.entries = {};
      folder.listable = false;
      return;
    }
    folder.index();
    folder.listed = true;
  }

  // Ordered, so that a folder is found by a view of its path.
  std::map<std::string, Folder, std::less<>> folders_;
  std::pair<const std::string, Folder>* last_ = nullptr;
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
