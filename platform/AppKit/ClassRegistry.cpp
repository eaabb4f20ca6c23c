#include "platform/AppKit/ClassRegistry.h"

#include <map>
#include <mutex>

#include "platform/AppKit/NSPanel.h"
#include "platform/AppKit/NSWindow.h"

namespace platform {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::string, ClassFactory> classes{
      {"NSWindow", [] { return std::make_shared<NSWindow>(); }},
      {"NSPanel", [] { return std::make_shared<NSPanel>(); }},
  };
};

// Made on first use: classes register while the program loads, in no fixed order.
Registry& registry() {
  static Registry classes;
  return classes;
}

}  // namespace

void registerClass(const std::string& name, ClassFactory factory) {
  Registry& classes = registry();
  std::lock_guard lock(classes.mutex);
  classes.classes[name] = std::move(factory);
}

bool isClassRegistered(const std::string& name) {
  Registry& classes = registry();
  std::lock_guard lock(classes.mutex);
  return classes.classes.contains(name);
}

std::shared_ptr<NSObject> instantiateClass(const std::string& name) {
  ClassFactory factory;
  {
    Registry& classes = registry();
    std::lock_guard lock(classes.mutex);
    const auto found = classes.classes.find(name);
    if (found == classes.classes.end()) return nullptr;
    factory = found->second;
  }
  return factory();
}

}  // namespace platform
