#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Foundation/NSDate.h"
#include "platform/Foundation/NSError.h"
#include "platform/Foundation/NSObject.h"
#include "platform/Foundation/PropertyList.h"
#include "platform/Foundation/URL.h"

// Keys of a file's attributes dictionary.
inline constexpr const char* NSFileType = "NSFileType";
inline constexpr const char* NSFileSize = "NSFileSize";
inline constexpr const char* NSFileModificationDate = "NSFileModificationDate";
inline constexpr const char* NSFileCreationDate = "NSFileCreationDate";
inline constexpr const char* NSFilePosixPermissions = "NSFilePosixPermissions";

// Values of NSFileType.
inline constexpr const char* NSFileTypeDirectory = "NSFileTypeDirectory";
inline constexpr const char* NSFileTypeRegular = "NSFileTypeRegular";
inline constexpr const char* NSFileTypeSymbolicLink = "NSFileTypeSymbolicLink";
inline constexpr const char* NSFileTypeSocket = "NSFileTypeSocket";
inline constexpr const char* NSFileTypeCharacterSpecial = "NSFileTypeCharacterSpecial";
inline constexpr const char* NSFileTypeBlockSpecial = "NSFileTypeBlockSpecial";
inline constexpr const char* NSFileTypeUnknown = "NSFileTypeUnknown";

// The attributes dictionary of a file, as attributesOfItemAtPath returns it.
class NSFileAttributes : public NSObject {
 public:
  explicit NSFileAttributes(PropertyList::Dictionary attributes)
      : attributes_(std::move(attributes)) {}

  // The value under `key`, or nullptr when the dictionary has none.
  std::shared_ptr<const PropertyList> objectForKey(const std::string& key) const;
  const PropertyList::Dictionary& dictionary() const { return attributes_; }

  std::shared_ptr<const NSDate> fileModificationDate() const;
  std::shared_ptr<const NSDate> fileCreationDate() const;  // nullptr when not known
  unsigned long long fileSize() const;
  std::string fileType() const;

 private:
  PropertyList::Dictionary attributes_;
};

// The file system, as the process sees it.
class NSFileManager : public NSObject {
 public:
  static std::shared_ptr<NSFileManager> defaultManager();

  // The directories NSSearchPathForDirectoriesInDomains names, as directory URLs (tilde
  // expanded); empty when there are none.
  std::vector<URL> URLsForDirectory(unsigned long directory, unsigned long domainMask) const;

  // The attributes of the item at `path`; a symbolic link at `path` is described itself,
  // not followed. Always: NSFileType, NSFileSize, NSFilePosixPermissions,
  // NSFileModificationDate. NSFileCreationDate only when the file system records a birth
  // time (many do; /proc, for one, does not). On failure: nullptr, and `*error` (when
  // `error` is not null) an NSCocoaErrorDomain error: NSFileReadNoSuchFileError for a
  // missing item, NSFileReadNoPermissionError when access is denied,
  // NSFileReadInvalidFileNameError for an empty path or one holding a NUL byte, and
  // NSFileReadUnknownError otherwise. On success `*error` is left as it was.
  std::shared_ptr<NSFileAttributes> attributesOfItemAtPath(const std::string& path,
                                                           std::shared_ptr<NSError>* error) const;

  bool fileExistsAtPath(const std::string& path, bool* isDirectory = nullptr) const;

  // The shared container of an application group: $XDG_DATA_HOME/group-containers/<group>
  // (XDG_DATA_HOME as for NSApplicationSupportDirectory), for groups that the main
  // bundle's entitlements list under "com.apple.security.application-groups"; nothing for
  // any other group, for a group identifier that could leave that folder ("", ".", "..",
  // or one holding "/" or a NUL byte), and when the entitlements cannot be read. The
  // folder is not created.
  std::optional<URL> containerURLForSecurityApplicationGroupIdentifier(
      const std::string& groupIdentifier) const;
};
