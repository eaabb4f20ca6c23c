#pragma once

#include <memory>
#include <string>
#include <vector>

#include "macos/Flutter/FlutterViewController.h"
#include "macos/Runner/MainFlutterWindow.h"
#include "macos/Runner/TolvekWindowState.h"
#include "support/DesktopFixture.h"

// The registrar keys the application's plug-ins are registered under, in their order.
inline const std::vector<std::string> kRegisteredPluginKeys{
    "DeviceInfoPlusMacosPlugin", "FilePickerPlugin",   "IrondashEngineContextPlugin",
    "FPPPackageInfoPlusPlugin",  "PathProviderPlugin", "SuperNativeExtensionsPlugin"};

// A desktop with no window recorded in TolvekWindowState, before and after each test.
class RunnerTest : public DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    TolvekWindowState::setWindow(nullptr);
  }
  void TearDown() override {
    TolvekWindowState::setWindow(nullptr);
    DesktopTest::TearDown();
  }

  // A main window as the interface description makes it: initialised, then awoken.
  static std::shared_ptr<MainFlutterWindow> loadMainWindow(
      NSRect contentRect = NSMakeRect(320, 150, 800, 600),
      NSWindowStyleMask style = kStandardWindowStyle) {
    auto window = makeWindow<MainFlutterWindow>(contentRect, style);
    window->awakeFromNib();
    return window;
  }

  static std::shared_ptr<FlutterViewController> controllerOf(const NSWindow& window) {
    return std::dynamic_pointer_cast<FlutterViewController>(window.contentViewController());
  }
};
