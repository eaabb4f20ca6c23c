#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "macos/Flutter/FlutterPlugin.h"
#include "macos/Flutter/engine/FlutterEngineMessenger.h"
#include "platform/Foundation/NSObject.h"

// The engine stand-in: it runs no Dart itself; its Dart side is attached from outside (the
// engine transport, or a test). It owns the messenger and keeps registered plug-ins alive.
class FlutterEngine : public NSObject {
 public:
  FlutterEngine();

  // The engine made most recently and still alive: the one the application runs.
  static std::shared_ptr<FlutterEngine> running();
  // Records `engine` as the running one (held weakly).
  static void setRunning(const std::shared_ptr<FlutterEngine>& engine);

  std::shared_ptr<FlutterEngineMessenger> binaryMessenger() const { return messenger_; }

  // Keeps a registrar (and through it the plug-ins it was given) alive as long as the
  // engine.
  void retainRegistrar(std::shared_ptr<FlutterPluginRegistrar> registrar);

 private:
  std::shared_ptr<FlutterEngineMessenger> messenger_;
  std::mutex mutex_;
  std::vector<std::shared_ptr<FlutterPluginRegistrar>> registrars_;
};
