#pragma once

#include <plist/plist.h>

#include <optional>
#include <string>

#include "platform/Foundation/NSBundle.h"
#include "support/TemporaryDirectory.h"

namespace test_support {

// An XML property list document around `body` (the XML of the root object).
inline std::string xmlPropertyList(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
         "<plist version=\"1.0\">\n" +
         body + "\n</plist>\n";
}

// The same property list in binary form.
inline std::string binaryPropertyList(const std::string& xml) {
  plist_t root = nullptr;
  plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &root);
  char* bytes = nullptr;
  uint32_t length = 0;
  plist_to_bin(root, &bytes, &length);
  std::string result(bytes, length);
  plist_to_bin_free(bytes);
  plist_free(root);
  return result;
}

// A bundle laid out in a temporary directory, made the main bundle while the object lives.
class BundleFixture {
 public:
  // `infoBody`: the XML of Info.plist's root dictionary; nothing: no Info.plist.
  explicit BundleFixture(std::optional<std::string> infoBody,
                         std::optional<std::string> entitlementsBody = std::nullopt) {
    bundlePath_ = directory_.makeDirectory("Test.app");
    directory_.makeDirectory("Test.app/Contents/MacOS");
    directory_.makeDirectory("Test.app/Contents/Resources");
    if (infoBody) writeInfo(*infoBody);
    if (entitlementsBody) writeEntitlements(*entitlementsBody);
    platform::setMainBundlePathForTesting(bundlePath_);
  }
  ~BundleFixture() { platform::setMainBundlePathForTesting(std::nullopt); }
  BundleFixture(const BundleFixture&) = delete;
  BundleFixture& operator=(const BundleFixture&) = delete;

  const std::string& bundlePath() const { return bundlePath_; }
  const TemporaryDirectory& directory() const { return directory_; }

  // Rewrites a file of the bundle and makes a new main bundle object, which reads it.
  void writeInfo(const std::string& body) const {
    writeRaw("Contents/Info.plist", xmlPropertyList(body));
  }
  void writeEntitlements(const std::string& body) const {
    writeRaw("Contents/Resources/Entitlements.plist", xmlPropertyList(body));
  }
  void writeRaw(const std::string& relative, const std::string& bytes) const {
    directory_.write("Test.app/" + relative, bytes);
    platform::setMainBundlePathForTesting(bundlePath_);
  }

 private:
  TemporaryDirectory directory_;
  std::string bundlePath_;
};

}  // namespace test_support
