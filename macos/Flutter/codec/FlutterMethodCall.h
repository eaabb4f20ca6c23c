#pragma once

#include <string>

#include "macos/Flutter/codec/EncodableValue.h"

// A method call on a channel: the method's name and its decoded arguments (null when
// there are none).
struct FlutterMethodCall {
  std::string method;
  EncodableValue arguments;

  static FlutterMethodCall methodCallWithMethodName(std::string method,
                                                    EncodableValue arguments = {}) {
    return FlutterMethodCall{std::move(method), std::move(arguments)};
  }
  friend bool operator==(const FlutterMethodCall&, const FlutterMethodCall&) = default;
};
