#pragma once

#include <functional>

#include "macos/Flutter/AnswerOnce.h"
#include "macos/Flutter/codec/FlutterMethodCodec.h"

// The result callback of one method call: answered exactly once with a value, a
// FlutterError or FlutterMethodNotImplemented. Unanswered, it replies null.
class FlutterResult : public AnswerOnce<FlutterMethodReply> {
 public:
  FlutterResult() = default;
  explicit FlutterResult(std::function<void(FlutterMethodReply)> deliver)
      : AnswerOnce(std::move(deliver), FlutterMethodReply(EncodableValue())) {}

  using AnswerOnce::operator();
  void operator()(EncodableValue value) const { (*this)(FlutterMethodReply(std::move(value))); }
  void operator()(FlutterError error) const { (*this)(FlutterMethodReply(std::move(error))); }
  void operator()(FlutterMethodNotImplementedType) const {
    (*this)(FlutterMethodReply(FlutterMethodNotImplemented));
  }
};

using FlutterMethodCallHandler =
    std::function<void(const FlutterMethodCall& call, FlutterResult result)>;
