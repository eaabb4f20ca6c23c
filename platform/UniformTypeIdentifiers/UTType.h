#pragma once

#include <memory>
#include <string>

#include "platform/Foundation/NSObject.h"

// A uniform type, backed by the system's MIME database: its identifier is the MIME type
// ("application/pdf"); UTType::data() is "application/octet-stream", the type every kind
// of file content conforms to.
class UTType : public NSObject {
 public:
  explicit UTType(std::string identifier) : identifier_(std::move(identifier)) {}

  // `UTType(filenameExtension:conformingTo:)`: the preferred type of files named
  // "*.<extension>" among those that conform to `supertype` (any type when nullptr), or
  // nullptr when the database knows none. The extension is taken as written: a leading
  // dot is not removed (so ".pdf" names no type); letter case matters only where a glob
  // says so, and an exact-case match is preferred.
  static std::shared_ptr<UTType> typeWithFilenameExtension(
      const std::string& extension, const std::shared_ptr<UTType>& supertype);
  static std::shared_ptr<UTType> data();

  const std::string& identifier() const { return identifier_; }
  // True when this type is `other` or a subtype of it.
  bool conformsToType(const UTType& other) const;
  bool operator==(const UTType& other) const { return identifier_ == other.identifier_; }

 private:
  std::string identifier_;
};
