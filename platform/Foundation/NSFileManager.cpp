#include "platform/Foundation/NSFileManager.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/Foundation/NSPathUtilities.h"
#include "platform/Foundation/UserDirectories.h"
#include "platform/Security/SecTask.h"

namespace {

constexpr const char* kApplicationGroupsEntitlement = "com.apple.security.application-groups";

std::shared_ptr<const NSDate> dateOf(const struct statx_timestamp& time) {
  return NSDate::dateWithTimeIntervalSince1970(static_cast<double>(time.tv_sec) +
                                               static_cast<double>(time.tv_nsec) / 1e9);
}

const char* fileTypeOf(unsigned mode) {
  if (S_ISDIR(mode)) return NSFileTypeDirectory;
  if (S_ISREG(mode)) return NSFileTypeRegular;
  if (S_ISLNK(mode)) return NSFileTypeSymbolicLink;
  if (S_ISSOCK(mode)) return NSFileTypeSocket;
  if (S_ISCHR(mode)) return NSFileTypeCharacterSpecial;
  if (S_ISBLK(mode)) return NSFileTypeBlockSpecial;
  return NSFileTypeUnknown;
}

std::shared_ptr<NSError> fileReadError(int errorNumber, const std::string& path) {
  long code = NSFileReadUnknownError;
  if (errorNumber == ENOENT || errorNumber == ENOTDIR)
    code = NSFileReadNoSuchFileError;
  else if (errorNumber == EACCES || errorNumber == EPERM)
    code = NSFileReadNoPermissionError;
  else if (errorNumber == EINVAL || errorNumber == ENAMETOOLONG)
    code = NSFileReadInvalidFileNameError;
  return NSError::errorWithDomain(
      NSCocoaErrorDomain, code,
      "The file \"" + path + "\" couldn't be read: " + std::strerror(errorNumber));
}

bool isSafeFolderName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

}  // namespace

std::shared_ptr<const PropertyList> NSFileAttributes::objectForKey(const std::string& key) const {
  const auto found = attributes_.find(key);
  return found == attributes_.end() ? nullptr : std::make_shared<const PropertyList>(found->second);
}

std::shared_ptr<const NSDate> NSFileAttributes::fileModificationDate() const {
  const auto value = objectForKey(NSFileModificationDate);
  return value ? value->date() : nullptr;
}

std::shared_ptr<const NSDate> NSFileAttributes::fileCreationDate() const {
  const auto value = objectForKey(NSFileCreationDate);
  return value ? value->date() : nullptr;
}

unsigned long long NSFileAttributes::fileSize() const {
  const auto value = objectForKey(NSFileSize);
  return value && value->integer() ? static_cast<unsigned long long>(*value->integer()) : 0;
}

std::string NSFileAttributes::fileType() const {
  const auto value = objectForKey(NSFileType);
  return value && value->string() ? *value->string() : std::string();
}

std::shared_ptr<NSFileManager> NSFileManager::defaultManager() {
  static const auto manager = std::make_shared<NSFileManager>();
  return manager;
}

std::vector<URL> NSFileManager::URLsForDirectory(unsigned long directory,
                                                 unsigned long domainMask) const {
  std::vector<URL> urls;
  for (const auto& path : NSSearchPathForDirectoriesInDomains(directory, domainMask, true))
    urls.push_back(URL::fileURLWithPath(path, true));
  return urls;
}

std::shared_ptr<NSFileAttributes> NSFileManager::attributesOfItemAtPath(
    const std::string& path, std::shared_ptr<NSError>* error) const {
  if (path.empty() || path.find('\0') != std::string::npos) {
    if (error) *error = fileReadError(EINVAL, path);
    return nullptr;
  }
  struct statx info {};
  if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME,
              &info) != 0) {
    if (error) *error = fileReadError(errno, path);
    return nullptr;
  }
  PropertyList::Dictionary attributes{
      {NSFileType, PropertyList(fileTypeOf(info.stx_mode))},
      {NSFileSize, PropertyList(static_cast<int64_t>(info.stx_size))},
      {NSFilePosixPermissions, PropertyList(static_cast<int64_t>(info.stx_mode & 07777))},
      {NSFileModificationDate, PropertyList(dateOf(info.stx_mtime))},
  };
  if (info.stx_mask & STATX_BTIME)
    attributes.emplace(NSFileCreationDate, PropertyList(dateOf(info.stx_btime)));
  return std::make_shared<NSFileAttributes>(std::move(attributes));
}

bool NSFileManager::fileExistsAtPath(const std::string& path, bool* isDirectory) const {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) return false;
  if (isDirectory) *isDirectory = S_ISDIR(info.st_mode);
  return true;
}

std::optional<URL> NSFileManager::containerURLForSecurityApplicationGroupIdentifier(
    const std::string& groupIdentifier) const {
  if (!isSafeFolderName(groupIdentifier)) return std::nullopt;
  const auto groups = SecTaskCopyValueForEntitlement(SecTaskCreateFromSelf(kCFAllocatorDefault),
                                                     kApplicationGroupsEntitlement, nullptr);
  if (!groups || !groups->array()) return std::nullopt;
  bool listed = false;
  for (const auto& group : *groups->array())
    listed = listed || group == PropertyList(groupIdentifier);
  if (!listed) return std::nullopt;
  const auto dataHome = platform::xdgBaseDirectory("XDG_DATA_HOME", ".local/share");
  if (!dataHome) return std::nullopt;
  return URL::fileURLWithPath(
      platform::appendingPathComponent(*dataHome, "group-containers/" + groupIdentifier), true);
}
