#include "irondash_engine_context/Sources/irondash_engine_context/IrondashEngineContextPlugin.h"

#include <vector>

#include "platform/dispatch/MainThread.h"

namespace {

// Engines are told apart by their messengers, held weakly; an engine's handle is its
// place in this list, counted from 1.
int64_t engineHandleFor(const std::shared_ptr<FlutterBinaryMessenger>& messenger) {
  static std::vector<std::weak_ptr<FlutterBinaryMessenger>> engines;
  for (size_t index = 0; index < engines.size(); ++index) {
    if (engines[index].lock() == messenger) return static_cast<int64_t>(index) + 1;
  }
  engines.push_back(messenger);
  return static_cast<int64_t>(engines.size());
}

}  // namespace

void IrondashEngineContextPlugin::registerWithRegistrar(
    const std::shared_ptr<FlutterPluginRegistrar>& registrar) {
  assertMainThread();
  const auto messenger = registrar->messenger();
  auto channel = FlutterMethodChannel::methodChannelWithName("irondash_engine_context", messenger);
  auto instance = std::make_shared<IrondashEngineContextPlugin>(engineHandleFor(messenger));
  registrar->addMethodCallDelegate(instance, channel);
}

void IrondashEngineContextPlugin::handleMethodCall(const FlutterMethodCall& call,
                                                   FlutterResult result) {
  if (call.method == "getEngineHandle") {
    result(EncodableValue(engineHandle_));
  } else {
    result(FlutterMethodNotImplemented);
  }
}
