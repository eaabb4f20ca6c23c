#include "platform/UniformTypeIdentifiers/UTType.h"

#include "platform/UniformTypeIdentifiers/MimeDatabase.h"

namespace {

constexpr char kDynamicPrefix[] = "dyn.e";

// An extension the system makes a dynamic type for: one that a file name can end in after
// its last dot.
bool canHaveDynamicType(const std::string& extension) {
  return !extension.empty() && extension.find_first_of(std::string("./\0", 3)) == std::string::npos;
}

}  // namespace

std::shared_ptr<UTType> UTType::typeWithFilenameExtension(
    const std::string& extension, const std::shared_ptr<UTType>& supertype) {
  const auto database = platform::MimeDatabase::shared();
  for (const auto& type : database->typesForExtension(extension)) {
    if (!supertype || database->isSubclass(type, supertype->identifier()))
      return std::make_shared<UTType>(type);
  }
  if (!canHaveDynamicType(extension)) return nullptr;
  auto dynamic = dynamicType(extension);
  if (supertype && !dynamic->conformsToType(*supertype)) return nullptr;
  return dynamic;
}

std::shared_ptr<UTType> UTType::dynamicType(const std::string& extension) {
  // The identifier encodes the extension's bytes, so the same extension always gives the
  // same type and different ones never share one.
  std::string identifier = kDynamicPrefix;
  constexpr char kDigits[] = "0123456789abcdef";
  for (const unsigned char byte : extension) {
    identifier += kDigits[byte >> 4];
    identifier += kDigits[byte & 0x0F];
  }
  auto type = std::make_shared<UTType>(std::move(identifier));
  type->dynamicExtension_ = extension;
  return type;
}

std::shared_ptr<UTType> UTType::data() {
  static const auto type = std::make_shared<UTType>("application/octet-stream");
  return type;
}

std::optional<std::string> UTType::preferredFilenameExtension() const {
  if (dynamicExtension_) return dynamicExtension_;
  const auto database = platform::MimeDatabase::shared();
  for (const auto& glob : database->globs()) {
    if (database->canonicalType(glob.type) != identifier_ || glob.pattern.rfind("*.", 0) != 0)
      continue;
    const std::string extension = glob.pattern.substr(2);
    if (extension.find_first_of("*?[") == std::string::npos) return extension;
  }
  return std::nullopt;
}

bool UTType::conformsToType(const UTType& other) const {
  // A dynamic type is a kind of data and of nothing else but itself.
  if (isDynamic()) return *this == other || other == *data();
  return platform::MimeDatabase::shared()->isSubclass(identifier_, other.identifier_);
}
