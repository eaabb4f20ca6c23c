#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "macos/Flutter/codec/EncodableValue.h"

// Resolves an exported function by name in the running process, as Dart's
// DynamicLibrary.process() does. Only names that start with "tolvek_" and are made of
// identifier characters are looked up; anything else gives nullptr and the reason.
void* resolveExportedFunction(const std::string& symbol, std::string* error = nullptr);

// Serves one FFI frame on the calling thread: resolves `symbol`, parses `signature`,
// decodes the argument list from `payload` (standard message codec) and makes the call.
// Returns the FFI_RESULT map; a refused call ({"error": reason}) calls nothing.
EncodableValue performFfiRequest(const std::string& symbol, const std::string& signature,
                                 const std::vector<uint8_t>& payload);
