#pragma once

#include <string>

#include "macos/Flutter/codec/EncodableValue.h"
#include "macos/Flutter/engine/FfiSignature.h"

// Calls an exported function as Dart's FFI does, with arguments from an FFI frame.
// `arguments` is the frame's decoded argument list (null counts as an empty list). Every
// argument is checked against the signature before anything is called; a mismatch
// refuses the call.
//
// Returns the FFI_RESULT map: {"result": R, "out": [...]} after a call, or
// {"error": reason} for a refused one.
EncodableValue callExportedFunction(void* function, const FfiSignature& signature,
                                    const EncodableValue& arguments);

// The map a refused call answers with.
EncodableValue ffiRefusal(const std::string& reason);
