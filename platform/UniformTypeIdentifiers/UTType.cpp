#include "platform/UniformTypeIdentifiers/UTType.h"

#include "platform/UniformTypeIdentifiers/MimeDatabase.h"

std::shared_ptr<UTType> UTType::typeWithFilenameExtension(
    const std::string& extension, const std::shared_ptr<UTType>& supertype) {
  const auto database = platform::MimeDatabase::shared();
  for (const auto& type : database->typesForExtension(extension)) {
    if (!supertype || database->isSubclass(type, supertype->identifier()))
      return std::make_shared<UTType>(type);
  }
  return nullptr;
}

std::shared_ptr<UTType> UTType::data() {
  static const auto type = std::make_shared<UTType>("application/octet-stream");
  return type;
}

bool UTType::conformsToType(const UTType& other) const {
  return platform::MimeDatabase::shared()->isSubclass(identifier_, other.identifier_);
}
