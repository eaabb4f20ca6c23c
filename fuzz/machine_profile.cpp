// Machine profiles: any text is either a profile or refused with MachineProfileError;
// nothing else escapes, and every screen of a profile is one a display can have.
#include <cstdlib>
#include <string>

#include "platform/machine/MachineProfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const auto profile =
        platform::MachineProfile::parse(std::string(reinterpret_cast<const char*>(data), size));
    if (profile.screens) {
      for (const auto& screen : *profile.screens)
        if (!platform::isPossibleBackingScaleFactor(screen.backingScaleFactor)) std::abort();
    }
  } catch (const platform::MachineProfileError&) {
  }
  return 0;
}
