#include "device_info_plus/Sources/device_info_plus/DeviceInfoPlusMacosPlugin.h"

#include <bit>
#include <cstdint>
#include <string>

#include "device_info_plus/Sources/device_info_plus/DeviceIdentifiers.h"
#include "device_info_plus/Sources/device_info_plus/Sysctl.h"
#include "device_info_plus/Sources/device_info_plus/SystemUUID.h"
#include "macos/Flutter/FlutterMethodChannel.h"
#include "platform/Foundation/NSHost.h"
#include "platform/Foundation/NSProcessInfo.h"
#include "platform/dispatch/MainThread.h"

void DeviceInfoPlusMacosPlugin::registerWithRegistrar(
    const std::shared_ptr<FlutterPluginRegistrar>& registrar) {
  const auto messenger = registrar->messenger();
  const auto channel = FlutterMethodChannel::methodChannelWithName(
      "dev.fluttercommunity.plus/device_info", messenger);
  const auto instance = std::make_shared<DeviceInfoPlusMacosPlugin>();
  registrar->addMethodCallDelegate(instance, channel);
}

void DeviceInfoPlusMacosPlugin::handleMethodCall(const FlutterMethodCall& call,
                                                 FlutterResult result) {
  assertMainThread();
  if (call.method == "getDeviceInfo") {
    handleDeviceInfo(std::move(result));
  } else {
    result(FlutterMethodNotImplemented);
  }
}

void DeviceInfoPlusMacosPlugin::handleDeviceInfo(FlutterResult result) {
  const auto localizedName = NSHost::currentHost()->localizedName();
  const std::string computerName = localizedName ? *localizedName : Sysctl::hostName();
  const std::string hostName = Sysctl::osType();
  const std::string arch = Sysctl::machine();
  const std::string model = Sysctl::model();
  const std::string modelName = getMacModelName(Sysctl::model());
  const std::string kernelVersion = Sysctl::version();
  const auto processInfo = NSProcessInfo::processInfo();
  const std::string osRelease = processInfo->operatingSystemVersionString();
  const auto version = processInfo->operatingSystemVersion();
  const int32_t activeCPUs = Sysctl::activeCPUs();
  const uint64_t memorySize = Sysctl::memSize();
  const int64_t cpuFrequency = Sysctl::cpuFreq();
  const auto systemGUID = SystemUUID::getSystemUUID();

  // The codec has no unsigned integers: a memory size above the signed 64-bit range
  // travels as the same 64 bits in an int64 (a negative number), which a receiver turns
  // back into the unsigned size.
  result(EncodableValue(EncodableMap{
      {"computerName", computerName},
      {"hostName", hostName},
      {"arch", arch},
      {"model", model},
      {"modelName", modelName},
      {"kernelVersion", kernelVersion},
      {"osRelease", osRelease},
      {"majorVersion", static_cast<int64_t>(version.majorVersion)},
      {"minorVersion", static_cast<int64_t>(version.minorVersion)},
      {"patchVersion", static_cast<int64_t>(version.patchVersion)},
      {"activeCPUs", activeCPUs},
      {"memorySize", std::bit_cast<int64_t>(memorySize)},
      {"cpuFrequency", cpuFrequency},
      {"systemGUID", systemGUID ? EncodableValue(*systemGUID) : EncodableValue()},
  }));
}
