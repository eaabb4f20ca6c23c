#pragma once

#include <memory>
#include <string>

#include "macos/Flutter/FlutterBinaryMessenger.h"
#include "macos/Flutter/FlutterMethodChannel.h"
#include "platform/AppKit/NSView.h"

// What a plug-in object offers the engine: method calls on the channels it was added to
// as a delegate. Plug-in classes also offer a class-level registerWithRegistrar.
class FlutterPlugin {
 public:
  virtual ~FlutterPlugin() = default;
  // Calls on a channel the plug-in was added to. Unless overridden: not implemented.
  virtual void handleMethodCall(const FlutterMethodCall& call, FlutterResult result);
};

// What the engine hands a plug-in when it registers.
class FlutterPluginRegistrar {
 public:
  virtual ~FlutterPluginRegistrar() = default;
  // The messenger on which the plug-in makes its channels.
  virtual std::shared_ptr<FlutterBinaryMessenger> messenger() = 0;
  // Routes the channel's method calls to `delegate`, which the engine then keeps alive.
  virtual void addMethodCallDelegate(std::shared_ptr<FlutterPlugin> delegate,
                                     std::shared_ptr<FlutterMethodChannel> channel) = 0;
  // The Flutter view, or nullptr; its window is the window showing the Dart UI.
  virtual std::shared_ptr<NSView> view() = 0;
};

// Hands out a registrar per plug-in key.
class FlutterPluginRegistry {
 public:
  virtual ~FlutterPluginRegistry() = default;
  virtual std::shared_ptr<FlutterPluginRegistrar> registrarForPlugin(
      const std::string& pluginKey) = 0;
};
