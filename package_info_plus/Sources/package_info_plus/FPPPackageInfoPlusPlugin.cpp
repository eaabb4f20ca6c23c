#include "package_info_plus/Sources/package_info_plus/FPPPackageInfoPlusPlugin.h"

#include <cmath>
#include <limits>

#include "macos/Flutter/FlutterMethodChannel.h"
#include "platform/Foundation/NSBundle.h"
#include "platform/Foundation/NSFileManager.h"
#include "platform/Foundation/NSPathUtilities.h"
#include "platform/Foundation/NSProcessInfo.h"

namespace {

constexpr const char* kChannelName = "dev.fluttercommunity.plus/package_info";

// A property-list value as the standard codec carries it: integers in the narrowest of
// the two widths, reals, booleans, strings, bytes, lists and maps. A date has no codec
// form and goes as nil.
EncodableValue encodable(const PropertyList& value) {
  struct Visitor {
    EncodableValue operator()(const std::string& v) const { return EncodableValue(v); }
    EncodableValue operator()(int64_t v) const {
      if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
        return EncodableValue(static_cast<int32_t>(v));
      return EncodableValue(v);
    }
    EncodableValue operator()(double v) const { return EncodableValue(v); }
    EncodableValue operator()(bool v) const { return EncodableValue(v); }
    EncodableValue operator()(const PropertyList::Date&) const { return EncodableValue(); }
    EncodableValue operator()(const PropertyList::Data& v) const { return EncodableValue(v); }
    EncodableValue operator()(const PropertyList::Array& v) const {
      EncodableList list;
      list.reserve(v.size());
      for (const auto& item : v) list.push_back(encodable(item));
      return EncodableValue(std::move(list));
    }
    EncodableValue operator()(const PropertyList::Dictionary& v) const {
      EncodableMap map;
      for (const auto& [key, item] : v) map.set(EncodableValue(key), encodable(item));
      return EncodableValue(std::move(map));
    }
  };
  return std::visit(Visitor{}, value.value());
}

EncodableValue orNil(const std::shared_ptr<const PropertyList>& value) {
  return value ? encodable(*value) : EncodableValue();
}

EncodableValue orNil(const std::optional<std::string>& value) {
  return value ? EncodableValue(*value) : EncodableValue();
}

}  // namespace

void FPPPackageInfoPlusPlugin::registerWithRegistrar(
    const std::shared_ptr<FlutterPluginRegistrar>& registrar) {
  const auto channel =
      FlutterMethodChannel::methodChannelWithName(kChannelName, registrar->messenger());
  const auto instance = std::make_shared<FPPPackageInfoPlusPlugin>();
  registrar->addMethodCallDelegate(instance, channel);
}

void FPPPackageInfoPlusPlugin::handleMethodCall(const FlutterMethodCall& call,
                                                FlutterResult result) {
  if (call.method != "getAll") {
    result(FlutterMethodNotImplemented);
    return;
  }
  const auto installTime = getTimeMillisStringFromDate(getInstallDate());
  const auto updateTime = getTimeMillisStringFromDate(getUpdateDate());

  const auto bundle = NSBundle::mainBundle();
  auto appName = bundle->objectForInfoDictionaryKey("CFBundleDisplayName");
  if (!appName) appName = bundle->objectForInfoDictionaryKey("CFBundleName");

  result(EncodableValue(EncodableMap{
      {"appName", orNil(appName)},
      {"packageName", orNil(bundle->bundleIdentifier())},
      {"version", orNil(bundle->objectForInfoDictionaryKey("CFBundleShortVersionString"))},
      {"buildNumber", orNil(bundle->objectForInfoDictionaryKey("CFBundleVersion"))},
      {"installerStore", EncodableValue()},
      {"installTime", orNil(installTime ? installTime : updateTime)},
      {"updateTime", orNil(updateTime)},
  }));
}

std::shared_ptr<const NSDate> FPPPackageInfoPlusPlugin::getInstallDate() const {
  if (!isRunningInSandbox()) return nullptr;
  const auto urls =
      NSFileManager::defaultManager()->URLsForDirectory(NSDocumentDirectory, NSUserDomainMask);
  if (urls.empty()) return nullptr;
  std::shared_ptr<NSError> error;
  const auto attributes =
      NSFileManager::defaultManager()->attributesOfItemAtPath(urls.back().path(), &error);
  if (error || !attributes) return nullptr;
  const auto created = attributes->objectForKey(NSFileCreationDate);
  return created ? created->date() : nullptr;
}

std::shared_ptr<const NSDate> FPPPackageInfoPlusPlugin::getUpdateDate() const {
  std::shared_ptr<NSError> error;
  const auto attributes = NSFileManager::defaultManager()->attributesOfItemAtPath(
      NSBundle::mainBundle()->bundlePath(), &error);
  if (error || !attributes) return nullptr;
  return attributes->fileModificationDate();
}

std::optional<std::string> FPPPackageInfoPlusPlugin::getTimeMillisStringFromDate(
    const std::shared_ptr<const NSDate>& date) const {
  if (!date) return std::nullopt;
  const double milliseconds = std::trunc(date->timeIntervalSince1970() * 1000.0);
  // A cast of a value that a signed 64-bit integer cannot hold is undefined; such dates
  // (hundreds of millions of years away, or not a number) give the nearest bound or nil.
  if (std::isnan(milliseconds)) return std::nullopt;
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  if (milliseconds >= kLimit) return std::to_string(std::numeric_limits<int64_t>::max());
  if (milliseconds < -kLimit) return std::to_string(std::numeric_limits<int64_t>::min());
  return std::to_string(static_cast<int64_t>(milliseconds));
}

bool FPPPackageInfoPlusPlugin::isRunningInSandbox() const {
  return NSProcessInfo::processInfo()->environment().count("APP_SANDBOX_CONTAINER_ID") != 0;
}
