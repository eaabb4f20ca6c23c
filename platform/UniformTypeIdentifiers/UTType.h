#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/Foundation/NSObject.h"

// A uniform type, backed by the system's MIME database: its identifier is the MIME type
// ("application/pdf"); UTType::data() is "application/octet-stream", the type every kind
// of file content conforms to. An extension the database does not know still has a type,
// a dynamic one ("dyn.…"), as the system makes up for any well-formed extension: it
// conforms to data and stands for the files with that extension.
class UTType : public NSObject {
 public:
  explicit UTType(std::string identifier) : identifier_(std::move(identifier)) {}

  // `UTType(filenameExtension:conformingTo:)`: the preferred type of files named
  // "*.<extension>" among those that conform to `supertype` (any type when nullptr). The
  // extension is taken as written: letter case matters only where a glob says so, and an
  // exact-case match is preferred ("tar.gz" is known as a whole). When the database knows
  // none, a dynamic type for the extension if that conforms to `supertype`, except for an
  // extension that is empty or holds a dot (so ".pdf" names no type), "/" or NUL.
  static std::shared_ptr<UTType> typeWithFilenameExtension(
      const std::string& extension, const std::shared_ptr<UTType>& supertype);
  static std::shared_ptr<UTType> data();

  const std::string& identifier() const { return identifier_; }
  // True for a type made up for an extension the database does not know.
  bool isDynamic() const { return dynamicExtension_.has_value(); }
  // `preferredFilenameExtension`: a dynamic type's extension; for a known type, the
  // extension of its first plain "*.ext" glob; nothing when it has none.
  std::optional<std::string> preferredFilenameExtension() const;
  // True when this type is `other` or a subtype of it.
  bool conformsToType(const UTType& other) const;
  bool operator==(const UTType& other) const { return identifier_ == other.identifier_; }

 private:
  static std::shared_ptr<UTType> dynamicType(const std::string& extension);

  std::string identifier_;
  std::optional<std::string> dynamicExtension_;
};
