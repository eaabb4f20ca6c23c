#pragma once

#include <memory>

#include "macos/Flutter/FlutterPlugin.h"
#include "platform/Foundation/NSObject.h"

// Answers "getDeviceInfo" on "dev.fluttercommunity.plus/device_info" with a map that
// describes the machine. Holds no state: every call reads everything afresh, and a value
// that cannot be read becomes "", 0 or null, so the call never fails.
class DeviceInfoPlusMacosPlugin : public NSObject, public FlutterPlugin {
 public:
  DeviceInfoPlusMacosPlugin() = default;

  // Makes the channel on the registrar's messenger and adds a new plug-in to it.
  static void registerWithRegistrar(const std::shared_ptr<FlutterPluginRegistrar>& registrar);

  void handleMethodCall(const FlutterMethodCall& call, FlutterResult result) override;

 private:
  void handleDeviceInfo(FlutterResult result);
};
