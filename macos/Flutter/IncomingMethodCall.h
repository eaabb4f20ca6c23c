#pragma once

#include <optional>

#include "macos/Flutter/FlutterBinaryMessenger.h"
#include "macos/Flutter/codec/FlutterMethodCodec.h"

// Decodes a method call that arrived from the Dart side. Bytes that are not a method call
// are answered at once with the error "decode-error", and give nothing.
std::optional<FlutterMethodCall> decodeIncomingMethodCall(const FlutterStandardMethodCodec& codec,
                                                          const FlutterBinaryMessage& message,
                                                          const FlutterBinaryReply& reply);
