// Shell-style environment files (user-dirs.dirs, /etc/machine-info): any text gives
// assignments whose names are identifiers and whose values hold no NUL byte.
#include <cctype>
#include <cstdlib>
#include <string>

#include "platform/Foundation/EnvironmentFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto values =
      platform::parseEnvironmentFile(std::string(reinterpret_cast<const char*>(data), size));
  for (const auto& [name, value] : values) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) std::abort();
    for (const char c : name)
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') std::abort();
    if (value.find('\0') != std::string::npos) std::abort();
  }
  return 0;
}
