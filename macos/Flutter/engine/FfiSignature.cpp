#include "macos/Flutter/engine/FfiSignature.h"

#include <string_view>

namespace {

std::optional<FfiType> resultType(std::string_view name) {
  if (name == "void") return FfiType::voidType;
  if (name == "int32") return FfiType::int32;
  if (name == "utf8ptr") return FfiType::utf8ptr;
  return std::nullopt;
}

std::optional<FfiType> parameterType(std::string_view name) {
  if (name == "int32") return FfiType::int32;
  if (name == "utf8") return FfiType::utf8;
  if (name == "outint32") return FfiType::outint32;
  if (name == "ptr") return FfiType::ptr;
  return std::nullopt;
}

}  // namespace

std::optional<FfiSignature> parseFfiSignature(const std::string& text, std::string* error) {
  auto refuse = [&](std::string why) -> std::optional<FfiSignature> {
    if (error) *error = "unsupported signature \"" + text + "\": " + why;
    return std::nullopt;
  };
  const std::string_view whole(text);
  const size_t open = whole.find('(');
  if (open == std::string_view::npos || whole.empty() || whole.back() != ')') {
    return refuse("expected RET(P1,...)");
  }
  FfiSignature signature;
  const auto result = resultType(whole.substr(0, open));
  if (!result) return refuse("unknown return type");
  signature.result = *result;

  std::string_view list = whole.substr(open + 1, whole.size() - open - 2);
  if (list.empty()) return signature;
  while (true) {
    const size_t comma = list.find(',');
    const auto parameter = parameterType(list.substr(0, comma));
    if (!parameter) return refuse("unknown parameter type");
    if (signature.parameters.size() == kFfiMaxParameters) return refuse("too many parameters");
    signature.parameters.push_back(*parameter);
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return signature;
}
