#include <gtest/gtest.h>

#include <algorithm>

#include "file_picker/FilePickerFixture.h"
#include "macos/Runner/GeneratedPluginRegistrant.h"

using namespace file_picker_test;

namespace {

TEST(FilePickerRegistration, TheHostRegistersThePickerOnceInItsPlace) {
  const auto controller = FlutterViewController::create();
  const auto dart = InProcessDart::attach(controller->engine()->binaryMessenger());
  RegisterGeneratedPlugins(controller);

  // Registered once, in the table's order among the plug-ins built so far.
  const std::vector<std::string> table{
      "DeviceInfoPlusMacosPlugin", "FilePickerPlugin",   "IrondashEngineContextPlugin",
      "FPPPackageInfoPlusPlugin",  "PathProviderPlugin", "SuperNativeExtensionsPlugin"};
  const auto& keys = controller->registrarKeys();
  std::vector<std::string> inTableOrder;
  for (const auto& key : table) {
    if (std::count(keys.begin(), keys.end(), key) > 0) inTableOrder.push_back(key);
  }
  EXPECT_EQ(keys, inTableOrder);
  EXPECT_EQ(std::count(keys.begin(), keys.end(), "FilePickerPlugin"), 1);

  // The channel answers: the switch with null, an unknown method with not implemented.
  EXPECT_EQ(dart->invokeMethod(kChannel, "skipEntitlementsChecks"), nullReply());
  EXPECT_EQ(dart->invokeMethod(kChannel, "pickFile"),
            FlutterMethodReply(FlutterMethodNotImplemented));
  // The controller's view is in no window: a dialog has nothing to attach to.
  EXPECT_EQ(dart->invokeMethod(kChannel, "saveFile"), nullReply());
}

}  // namespace
