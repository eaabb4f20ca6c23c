#pragma once

#include <memory>
#include <string>
#include <vector>

#include "macos/Flutter/FlutterPlugin.h"
#include "macos/Flutter/engine/FlutterEngine.h"
#include "platform/AppKit/NSViewController.h"

// The view the Dart UI draws into.
class FlutterView : public NSView {};

// Hosts the engine and the Dart code; serves as a window's content and as the plug-in
// registry.
class FlutterViewController : public NSViewController, public FlutterPluginRegistry {
 public:
  // The plain initialiser: a new engine and its view.
  static std::shared_ptr<FlutterViewController> create();

  std::shared_ptr<FlutterEngine> engine() const { return engine_; }
  std::shared_ptr<NSView> view() override { return view_; }

  std::shared_ptr<FlutterPluginRegistrar> registrarForPlugin(const std::string& pluginKey) override;
  // The keys registrars were handed out for, in order.
  const std::vector<std::string>& registrarKeys() const { return registrarKeys_; }

 private:
  std::shared_ptr<FlutterEngine> engine_;
  std::shared_ptr<FlutterView> view_;
  std::vector<std::string> registrarKeys_;
};
