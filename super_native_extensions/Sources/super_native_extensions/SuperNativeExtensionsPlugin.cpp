#include "super_native_extensions/Sources/super_native_extensions/SuperNativeExtensionsPlugin.h"

#include "platform/dispatch/MainThread.h"

void SuperNativeExtensionsPlugin::registerWithRegistrar(
    const std::shared_ptr<FlutterPluginRegistrar>& registrar) {
  assertMainThread();
  auto channel = FlutterMethodChannel::methodChannelWithName("super_native_extensions",
                                                             registrar->messenger());
  registrar->addMethodCallDelegate(std::make_shared<SuperNativeExtensionsPlugin>(), channel);
}

void SuperNativeExtensionsPlugin::handleMethodCall(const FlutterMethodCall& call,
                                                   FlutterResult result) {
  if (call.method == "initialize") {
    result(EncodableValue());
  } else {
    result(FlutterMethodNotImplemented);
  }
}
