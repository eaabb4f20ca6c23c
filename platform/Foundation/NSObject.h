#pragma once

#include <memory>
#include <string>

// The root of the platform's reference-counted object model. Objects are held by
// std::shared_ptr (strong) and std::weak_ptr (weak); nil is nullptr.
class NSObject : public std::enable_shared_from_this<NSObject> {
 public:
  NSObject() = default;
  NSObject(const NSObject&) = delete;
  NSObject& operator=(const NSObject&) = delete;
  virtual ~NSObject() = default;

  // The name of the object's most derived class, as the platform reports it
  // ("MainFlutterWindow" for the main window, "NSPanel" for a panel).
  std::string className() const;

  // A strong reference to this object, cast to the class the caller names.
  template <typename T = NSObject>
  std::shared_ptr<T> self() {
    return std::dynamic_pointer_cast<T>(shared_from_this());
  }
  template <typename T = NSObject>
  std::weak_ptr<T> weakSelf() {
    return self<T>();
  }
};

// The platform's class test (`isKindOfClass:`): true when `object` is of class T or a
// subclass of it.
template <typename T, typename U>
bool isKindOfClass(const std::shared_ptr<U>& object) {
  return dynamic_cast<const T*>(object.get()) != nullptr;
}
