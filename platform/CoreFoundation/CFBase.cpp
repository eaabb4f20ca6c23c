#include "platform/CoreFoundation/CFBase.h"

namespace {
enum : CFTypeID { kStringTypeID = 7, kNumberTypeID = 22, kDictionaryTypeID = 18 };
}  // namespace

CFTypeID CFString::typeID() const { return kStringTypeID; }
CFTypeID CFNumber::typeID() const { return kNumberTypeID; }
CFTypeID CFDictionary::typeID() const { return kDictionaryTypeID; }

CFTypeID CFStringGetTypeID() { return kStringTypeID; }
CFTypeID CFNumberGetTypeID() { return kNumberTypeID; }
CFTypeID CFDictionaryGetTypeID() { return kDictionaryTypeID; }

CFTypeID CFGetTypeID(const CFTypeRef& object) { return object ? object->typeID() : 0; }

CFStringRef CFSTR(const char* text) { return std::make_shared<const CFString>(text); }
