#pragma once

#include <string>

#include "platform/Foundation/NSObject.h"

// A window's toolbar. The desktop model only records whether a window has one.
class NSToolbar : public NSObject {
 public:
  explicit NSToolbar(std::string identifier = "") : identifier_(std::move(identifier)) {}
  const std::string& identifier() const { return identifier_; }

 private:
  std::string identifier_;
};
