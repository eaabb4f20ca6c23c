// Property lists, XML or binary, as the host reads Info.plist and its entitlements: any
// bytes either parse into values whose strings are well-formed UTF-8, or are refused with
// a reason; nesting never exhausts the stack.
#include <cstdlib>
#include <string>

#include "platform/Foundation/PropertyList.h"
#include "platform/text/Utf8Text.h"

namespace {

void checkStrings(const PropertyList& value) {
  if (const auto* text = value.string(); text && !isWellFormedUtf8(*text)) std::abort();
  if (const auto* array = value.array())
    for (const auto& item : *array) checkStrings(item);
  if (const auto* dictionary = value.dictionary()) {
    for (const auto& [key, item] : *dictionary) {
      if (!isWellFormedUtf8(key)) std::abort();
      checkStrings(item);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string problem;
  const auto value = PropertyList::fromMemory(
      std::string_view(reinterpret_cast<const char*>(data), size), &problem);
  if (!value) {
    if (problem.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  checkStrings(*value);
  return 0;
}
