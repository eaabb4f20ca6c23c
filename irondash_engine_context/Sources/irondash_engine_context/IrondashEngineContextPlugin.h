#pragma once

#include <cstdint>
#include <memory>

#include "macos/Flutter/FlutterPlugin.h"
#include "platform/Foundation/NSObject.h"

// Gives Dart code a handle for the engine it runs in, by which native code can find that
// engine again. On the channel "irondash_engine_context", the method "getEngineHandle"
// answers an integer, the same for every call on one engine and different between
// engines. Other methods are not implemented.
class IrondashEngineContextPlugin : public NSObject, public FlutterPlugin {
 public:
  explicit IrondashEngineContextPlugin(int64_t engineHandle) : engineHandle_(engineHandle) {}

  static void registerWithRegistrar(const std::shared_ptr<FlutterPluginRegistrar>& registrar);

  void handleMethodCall(const FlutterMethodCall& call, FlutterResult result) override;

 private:
  int64_t engineHandle_;
};
