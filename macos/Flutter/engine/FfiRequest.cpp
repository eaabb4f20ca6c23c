#include "macos/Flutter/engine/FfiRequest.h"

#include <dlfcn.h>

#include "macos/Flutter/codec/FlutterCodecError.h"
#include "macos/Flutter/codec/FlutterMessageCodec.h"
#include "macos/Flutter/engine/FfiCall.h"
#include "macos/Flutter/engine/FfiSignature.h"

namespace {

constexpr std::string_view kExportPrefix = "tolvek_";

bool identifierCharacters(const std::string& name) {
  for (const char c : name) {
    const bool ok =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return true;
}

bool exportName(const std::string& symbol) {
  return symbol.starts_with(kExportPrefix) && identifierCharacters(symbol);
}

std::string notAnExport(const std::string& symbol) {
  return "symbol \"" + symbol + "\" is not a tolvek_ export";
}

}  // namespace

void* resolveExportedFunction(const std::string& symbol, std::string* error) {
  auto refuse = [error](std::string why) -> void* {
    if (error) *error = std::move(why);
    return nullptr;
  };
  if (!exportName(symbol)) return refuse(notAnExport(symbol));
  dlerror();
  void* function = dlsym(RTLD_DEFAULT, symbol.c_str());
  if (function == nullptr) return refuse("no exported function \"" + symbol + "\"");
  return function;
}

EncodableValue performFfiRequest(const std::string& symbol, const std::string& signature,
                                 const std::vector<uint8_t>& payload) {
  std::string error;
  // The name is judged first, then the signature: nothing is looked up for a call that
  // cannot be made.
  if (!exportName(symbol)) return ffiRefusal(notAnExport(symbol));
  const auto parsed = parseFfiSignature(signature, &error);
  if (!parsed) return ffiRefusal(error);
  void* function = resolveExportedFunction(symbol, &error);
  if (function == nullptr) return ffiRefusal(error);
  EncodableValue arguments;
  try {
    arguments = FlutterStandardMessageCodec::sharedInstance()->decode(payload);
  } catch (const FlutterCodecError& codecError) {
    return ffiRefusal(std::string("undecodable arguments: ") + codecError.what());
  }
  return callExportedFunction(function, *parsed, arguments);
}
