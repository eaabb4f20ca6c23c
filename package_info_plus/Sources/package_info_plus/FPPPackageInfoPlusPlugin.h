#pragma once

#include <memory>
#include <optional>
#include <string>

#include "macos/Flutter/FlutterPlugin.h"
#include "platform/Foundation/NSDate.h"
#include "platform/Foundation/NSObject.h"

// Reports the application's identity on "dev.fluttercommunity.plus/package_info": its
// names, version, build number, and when it was installed and last updated. No state;
// every call reads everything afresh.
class FPPPackageInfoPlusPlugin : public NSObject, public FlutterPlugin {
 public:
  static void registerWithRegistrar(const std::shared_ptr<FlutterPluginRegistrar>& registrar);

  // "getAll" replies the map {appName, packageName, version, buildNumber, installerStore,
  // installTime, updateTime}, in that order, nil for what cannot be found; any other
  // method is not implemented.
  void handleMethodCall(const FlutterMethodCall& call, FlutterResult result) override;

  // In the sandbox: the creation date of the (last) user documents directory; else nil.
  std::shared_ptr<const NSDate> getInstallDate() const;
  // The modification date of the main bundle's folder, or nil.
  std::shared_ptr<const NSDate> getUpdateDate() const;
  // Milliseconds since 1970 in decimal, truncated toward zero; nil for nil.
  std::optional<std::string> getTimeMillisStringFromDate(
      const std::shared_ptr<const NSDate>& date) const;
  // True when APP_SANDBOX_CONTAINER_ID is in the environment, whatever its value.
  bool isRunningInSandbox() const;
};
