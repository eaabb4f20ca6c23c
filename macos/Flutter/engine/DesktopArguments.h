#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "macos/Flutter/codec/EncodableValue.h"

// What a DESKTOP method was given: a map of named arguments, or null for none. Each reader
// throws std::invalid_argument, saying what is wrong, for an argument that is missing or of
// the wrong type; DesktopControl answers that with "bad-arguments". A null value counts as
// left out.
class DesktopArguments {
 public:
  explicit DesktopArguments(const EncodableValue& arguments);

  bool has(const char* key) const;
  int64_t integer(const char* key) const;
  std::optional<int64_t> optionalInteger(const char* key) const;
  bool boolean(const char* key) const;
  std::optional<bool> optionalBoolean(const char* key) const;
  std::string string(const char* key) const;
  std::optional<std::string> optionalString(const char* key) const;
  // A list of exactly `count` numbers, integers or doubles, all finite.
  std::vector<double> numbers(const char* key, size_t count) const;
  // A finite number, integer or double.
  double number(const char* key) const;
  const EncodableList& list(const char* key) const;

 private:
  const EncodableValue* find(const char* key) const;
  const EncodableValue& require(const char* key) const;

  EncodableMap map_;
};

class NSWindow;

// The window named by "window", or the application's main window when it is left out:
// the window its interface description made, while that is still open. Throws
// std::invalid_argument when there is no such window. Main thread only.
std::shared_ptr<NSWindow> desktopTargetWindow(const DesktopArguments& arguments);

// An integer as the standard codec carries it from Dart: 32 bits when it fits.
EncodableValue desktopInteger(int64_t value);
