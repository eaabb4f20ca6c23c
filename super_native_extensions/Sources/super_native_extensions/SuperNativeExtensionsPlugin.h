#pragma once

#include <memory>

#include "macos/Flutter/FlutterPlugin.h"
#include "platform/Foundation/NSObject.h"

// The native side of the extensions for drag and drop and rich clipboard access. This
// build offers none of them: on the channel "super_native_extensions", "initialize"
// answers null and every other method is not implemented.
class SuperNativeExtensionsPlugin : public NSObject, public FlutterPlugin {
 public:
  static void registerWithRegistrar(const std::shared_ptr<FlutterPluginRegistrar>& registrar);

  void handleMethodCall(const FlutterMethodCall& call, FlutterResult result) override;
};
