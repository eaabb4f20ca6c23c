#include "platform/Foundation/NSObject.h"

#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>

std::string NSObject::className() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = status == 0 && demangled != nullptr ? demangled : mangled;
  std::free(demangled);
  // Classes of the object model live in the global namespace; drop any qualification a
  // test double may carry.
  const auto colon = name.rfind("::");
  return colon == std::string::npos ? name : name.substr(colon + 2);
}
