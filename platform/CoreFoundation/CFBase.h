#pragma once

// Core Foundation objects, as far as the host uses them: strings, numbers and
// dictionaries of properties.
//
// A function that "creates" or "copies" an object hands its caller a strong reference, a
// std::shared_ptr. CFRelease drops it; so does leaving the scope, so an object handed
// out can never leak.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

using CFTypeID = unsigned long;

// Where objects are allocated. Only the default allocator (null) exists here.
struct CFAllocator;
using CFAllocatorRef = const CFAllocator*;
inline constexpr CFAllocatorRef kCFAllocatorDefault = nullptr;

class CFType {
 public:
  virtual ~CFType() = default;
  virtual CFTypeID typeID() const = 0;
};
using CFTypeRef = std::shared_ptr<const CFType>;

class CFString final : public CFType {
 public:
  explicit CFString(std::string text) : text_(std::move(text)) {}
  CFTypeID typeID() const override;
  // The string's UTF-8 text.
  const std::string& string() const { return text_; }

 private:
  std::string text_;
};
using CFStringRef = std::shared_ptr<const CFString>;

class CFNumber final : public CFType {
 public:
  explicit CFNumber(int64_t value) : value_(value) {}
  CFTypeID typeID() const override;
  int64_t value() const { return value_; }

 private:
  int64_t value_;
};
using CFNumberRef = std::shared_ptr<const CFNumber>;

// A dictionary with text keys.
class CFDictionary final : public CFType {
 public:
  CFTypeID typeID() const override;
  void setValue(const std::string& key, CFTypeRef value) { values_[key] = std::move(value); }
  // The value under `key`, or null.
  CFTypeRef value(const std::string& key) const {
    const auto found = values_.find(key);
    return found == values_.end() ? nullptr : found->second;
  }

 private:
  std::map<std::string, CFTypeRef> values_;
};
using CFDictionaryRef = std::shared_ptr<const CFDictionary>;
using CFMutableDictionaryRef = std::shared_ptr<CFDictionary>;

CFTypeID CFStringGetTypeID();
CFTypeID CFNumberGetTypeID();
CFTypeID CFDictionaryGetTypeID();
// The type of `object`; 0 for null.
CFTypeID CFGetTypeID(const CFTypeRef& object);

// A constant string object for `text`.
CFStringRef CFSTR(const char* text);

// Drops the caller's reference to `object` and leaves it null.
template <typename T>
void CFRelease(std::shared_ptr<T>& object) {
  object.reset();
}
