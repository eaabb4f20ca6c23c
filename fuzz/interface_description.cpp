// The application's interface description: any text is a description or refused with a
// start-up error that says why; nothing else escapes.
#include <cstdlib>
#include <string>

#include "platform/AppKit/InterfaceDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    platform::InterfaceDescription::parse(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const platform::StartupError& error) {
    if (std::string(error.what()).empty()) std::abort();
  }
  return 0;
}
