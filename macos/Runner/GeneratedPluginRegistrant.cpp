#include "macos/Runner/GeneratedPluginRegistrant.h"

#include "device_info_plus/Sources/device_info_plus/DeviceInfoPlusMacosPlugin.h"
#include "file_picker/Sources/file_picker/FilePickerPlugin.h"
#include "irondash_engine_context/Sources/irondash_engine_context/IrondashEngineContextPlugin.h"
#include "package_info_plus/Sources/package_info_plus/FPPPackageInfoPlusPlugin.h"
#include "path_provider_foundation/Sources/path_provider_foundation/PathProviderPlugin.h"
#include "super_native_extensions/Sources/super_native_extensions/SuperNativeExtensionsPlugin.h"

// One registration per plug-in, in the order of the table of plug-ins:
//   1 DeviceInfoPlusMacosPlugin, 2 FilePickerPlugin, 3 IrondashEngineContextPlugin,
//   4 FPPPackageInfoPlusPlugin, 5 PathProviderPlugin, 6 SuperNativeExtensionsPlugin.
void RegisterGeneratedPlugins(const std::shared_ptr<FlutterPluginRegistry>& registry) {
  DeviceInfoPlusMacosPlugin::registerWithRegistrar(
      registry->registrarForPlugin("DeviceInfoPlusMacosPlugin"));
  FilePickerPlugin::registerWithRegistrar(registry->registrarForPlugin("FilePickerPlugin"));
  IrondashEngineContextPlugin::registerWithRegistrar(
      registry->registrarForPlugin("IrondashEngineContextPlugin"));
  FPPPackageInfoPlusPlugin::registerWithRegistrar(
      registry->registrarForPlugin("FPPPackageInfoPlusPlugin"));
  PathProviderPlugin::registerWithRegistrar(registry->registrarForPlugin("PathProviderPlugin"));
  SuperNativeExtensionsPlugin::registerWithRegistrar(
      registry->registrarForPlugin("SuperNativeExtensionsPlugin"));
}
