#include "macos/Flutter/FlutterViewController.h"

#include "platform/dispatch/MainThread.h"

namespace {

// The registrar of one plug-in key: the engine's messenger, the controller's view.
class FlutterEngineRegistrar : public FlutterPluginRegistrar {
 public:
  FlutterEngineRegistrar(std::shared_ptr<FlutterEngine> engine, std::weak_ptr<NSView> view)
      : engine_(std::move(engine)), view_(std::move(view)) {}

  std::shared_ptr<FlutterBinaryMessenger> messenger() override {
    auto engine = engine_.lock();
    return engine ? engine->binaryMessenger() : nullptr;
  }

  void addMethodCallDelegate(std::shared_ptr<FlutterPlugin> delegate,
                             std::shared_ptr<FlutterMethodChannel> channel) override {
    channel->setMethodCallHandler([delegate](const FlutterMethodCall& call, FlutterResult result) {
      delegate->handleMethodCall(call, std::move(result));
    });
  }

  std::shared_ptr<NSView> view() override { return view_.lock(); }

 private:
  std::weak_ptr<FlutterEngine> engine_;
  std::weak_ptr<NSView> view_;
};

}  // namespace

std::shared_ptr<FlutterViewController> FlutterViewController::create() {
  auto controller = std::make_shared<FlutterViewController>();
  controller->engine_ = std::make_shared<FlutterEngine>();
  controller->view_ = std::make_shared<FlutterView>();
  FlutterEngine::setRunning(controller->engine_);
  return controller;
}

std::shared_ptr<FlutterPluginRegistrar> FlutterViewController::registrarForPlugin(
    const std::string& pluginKey) {
  assertMainThread();
  registrarKeys_.push_back(pluginKey);
  auto registrar = std::make_shared<FlutterEngineRegistrar>(engine_, view_);
  engine_->retainRegistrar(registrar);
  return registrar;
}
