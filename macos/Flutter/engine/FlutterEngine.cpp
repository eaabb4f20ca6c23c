#include "macos/Flutter/engine/FlutterEngine.h"

namespace {

std::mutex runningMutex;
std::weak_ptr<FlutterEngine>& runningEngine() {
  static std::weak_ptr<FlutterEngine> engine;
  return engine;
}

}  // namespace

FlutterEngine::FlutterEngine() : messenger_(std::make_shared<FlutterEngineMessenger>()) {}

std::shared_ptr<FlutterEngine> FlutterEngine::running() {
  std::lock_guard lock(runningMutex);
  return runningEngine().lock();
}

void FlutterEngine::retainRegistrar(std::shared_ptr<FlutterPluginRegistrar> registrar) {
  std::lock_guard lock(mutex_);
  registrars_.push_back(std::move(registrar));
}

void FlutterEngine::setRunning(const std::shared_ptr<FlutterEngine>& engine) {
  std::lock_guard lock(runningMutex);
  runningEngine() = engine;
}
