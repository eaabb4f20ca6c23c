#pragma once

#include <memory>
#include <string>

#include "platform/Foundation/NSObject.h"

inline constexpr const char* NSCocoaErrorDomain = "NSCocoaErrorDomain";
inline constexpr const char* NSPOSIXErrorDomain = "NSPOSIXErrorDomain";

// Codes of NSCocoaErrorDomain that file operations report.
enum : long {
  NSFileNoSuchFileError = 4,
  NSFileReadUnknownError = 256,
  NSFileReadNoPermissionError = 257,
  NSFileReadInvalidFileNameError = 258,
  NSFileReadNoSuchFileError = 260,
};

// What went wrong: a domain, a code within it and a description for people.
class NSError : public NSObject {
 public:
  NSError(std::string domain, long code, std::string localizedDescription)
      : domain_(std::move(domain)), code_(code), description_(std::move(localizedDescription)) {}

  static std::shared_ptr<NSError> errorWithDomain(std::string domain, long code,
                                                  std::string localizedDescription) {
    return std::make_shared<NSError>(std::move(domain), code, std::move(localizedDescription));
  }

  const std::string& domain() const { return domain_; }
  long code() const { return code_; }
  const std::string& localizedDescription() const { return description_; }

 private:
  std::string domain_;
  long code_;
  std::string description_;
};
