#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/Foundation/NSObject.h"

namespace platform {

// The object runtime's table of classes by name, through which the interface loader makes
// the objects an interface description names. The AppKit classes it can make are known
// from the start ("NSWindow", "NSPanel"); the application's classes register themselves
// when the program loads (ClassRegistration).
using ClassFactory = std::function<std::shared_ptr<NSObject>()>;

// Makes the class `name` known; a second registration of a name replaces the first.
void registerClass(const std::string& name, ClassFactory factory);
bool isClassRegistered(const std::string& name);
// A new instance of the class `name`, not yet initialised; nullptr for an unknown name.
std::shared_ptr<NSObject> instantiateClass(const std::string& name);

// Registers a class while the program loads: a static object of this type in the
// class's own source file.
template <typename T>
struct ClassRegistration {
  explicit ClassRegistration(const std::string& name) {
    registerClass(name, [] { return std::make_shared<T>(); });
  }
};

}  // namespace platform
