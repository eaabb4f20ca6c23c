#pragma once

#include <optional>
#include <string>

#include "macos/Flutter/codec/EncodableValue.h"

// An error reply: a code, an optional message and optional details.
struct FlutterError {
  std::string code;
  std::optional<std::string> message;
  EncodableValue details;

  static FlutterError errorWithCode(std::string code,
                                    std::optional<std::string> message = std::nullopt,
                                    EncodableValue details = EncodableValue()) {
    return FlutterError{std::move(code), std::move(message), std::move(details)};
  }
  friend bool operator==(const FlutterError&, const FlutterError&) = default;
};
