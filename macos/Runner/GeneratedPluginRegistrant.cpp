#include "macos/Runner/GeneratedPluginRegistrant.h"

#include "irondash_engine_context/Sources/irondash_engine_context/IrondashEngineContextPlugin.h"
#include "super_native_extensions/Sources/super_native_extensions/SuperNativeExtensionsPlugin.h"

// One registration per plug-in, in the order of the table of plug-ins:
//   1 DeviceInfoPlusMacosPlugin, 2 FilePickerPlugin, 3 IrondashEngineContextPlugin,
//   4 FPPPackageInfoPlusPlugin, 5 PathProviderPlugin, 6 SuperNativeExtensionsPlugin.
// Each plug-in joins at its place when it is built.
void RegisterGeneratedPlugins(const std::shared_ptr<FlutterPluginRegistry>& registry) {
  IrondashEngineContextPlugin::registerWithRegistrar(
      registry->registrarForPlugin("IrondashEngineContextPlugin"));
  SuperNativeExtensionsPlugin::registerWithRegistrar(
      registry->registrarForPlugin("SuperNativeExtensionsPlugin"));
}
