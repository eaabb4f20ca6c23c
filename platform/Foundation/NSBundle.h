#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/Foundation/NSObject.h"
#include "platform/Foundation/PropertyList.h"

// An application bundle on disk:
//
//   X.app/Contents/Info.plist        the information dictionary (XML or binary)
//   X.app/Contents/MacOS/<exe>       the executable
//   X.app/Contents/Resources/        resources
//
// The information dictionary is read once, when the bundle object is made. A missing,
// unreadable or malformed Info.plist, or one whose root is not a dictionary, is no error:
// the bundle then has an empty information dictionary, so every info value and the
// bundle identifier are absent (nullptr / nothing).
class NSBundle : public NSObject {
 public:
  explicit NSBundle(std::string bundlePath);

  // The bundle around the running executable: for `.../X.app/Contents/MacOS/exe` it is
  // `.../X.app`; for an executable that is not laid out inside a bundle, the directory
  // that holds it. Made once and kept; thread-safe.
  static std::shared_ptr<NSBundle> mainBundle();
  // A bundle for the directory at `path`, or nullptr when there is no directory there.
  static std::shared_ptr<NSBundle> bundleWithPath(const std::string& path);

  const std::string& bundlePath() const { return bundlePath_; }
  std::string resourcePath() const;  // bundlePath/Contents/Resources
  // The value of CFBundleIdentifier when it is a string; nothing otherwise.
  std::optional<std::string> bundleIdentifier() const;
  // The whole information dictionary (empty when Info.plist could not be read).
  const PropertyList::Dictionary& infoDictionary() const;
  // The information dictionary's value for `key`, or nullptr.
  std::shared_ptr<const PropertyList> objectForInfoDictionaryKey(const std::string& key) const;
  // The path of `name.extension` in the resources folder (`name` alone when `extension`
  // is empty) when such a file or folder exists; nothing otherwise.
  std::optional<std::string> pathForResource(const std::string& name,
                                             const std::string& extension) const;

 private:
  std::string bundlePath_;
  PropertyList info_;
};

namespace platform {

// Makes NSBundle::mainBundle() the bundle at `path` (tests run from an executable that is
// not inside a bundle). Each call makes a new bundle object, so the information
// dictionary is read again. Nothing: back to the bundle around the executable.
void setMainBundlePathForTesting(std::optional<std::string> path);

// The bundle path for an executable at `executablePath`, by the layout above.
std::string bundlePathForExecutable(const std::string& executablePath);

}  // namespace platform
