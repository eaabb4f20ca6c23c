#include "macos/Runner/SystemScale.h"

#include <algorithm>

#include "macos/Flutter/FlutterMethodChannel.h"
#include "platform/AppKit/NSScreen.h"
#include "platform/dispatch/MainThread.h"
#include "platform/dispatch/NSNotificationCenter.h"
#include "platform/dispatch/NSOperationQueue.h"

namespace {
constexpr double kMinimumScale = 0.5;
constexpr double kMaximumScale = 4.0;
// What "getScale" answers once the object behind the channel is gone.
constexpr double kFallbackScale = 1.0;
}  // namespace

std::shared_ptr<SystemScale> SystemScale::shared() {
  static const auto instance = std::make_shared<SystemScale>();
  return instance;
}

double SystemScale::currentScale() const {
  assertMainThread();
  double factor = kFallbackScale;
  if (const auto window = window_.lock()) {
    factor = window->backingScaleFactor();
  } else if (const auto screen = NSScreen::mainScreen()) {
    factor = screen->backingScaleFactor();
  }
  return std::max(std::min(factor, kMaximumScale), kMinimumScale);
}

void SystemScale::registerController(const std::shared_ptr<FlutterViewController>& controller,
                                     const std::shared_ptr<NSWindow>& window) {
  assertMainThread();
  window_ = window;
  const auto messenger = controller->engine()->binaryMessenger();
  // The handlers hold this object weakly: the engine's handlers must not keep it alive.
  const std::weak_ptr<SystemScale> weak = weakSelf<SystemScale>();

  FlutterMethodChannel::methodChannelWithName("tolvek/system_scale", messenger)
      ->setMethodCallHandler([weak](const FlutterMethodCall& call, FlutterResult result) {
        if (call.method != "getScale") {
          result(FlutterMethodNotImplemented);
          return;
        }
        const auto scale = weak.lock();
        result(EncodableValue(scale ? scale->currentScale() : kFallbackScale));
      });

  FlutterEventChannel::eventChannelWithName("tolvek/system_scale/events", messenger)
      ->setStreamHandler(self<SystemScale>());

  const auto center = NSNotificationCenter::defaultCenter();
  auto observer =
      center->addObserverForName(NSWindowDidChangeBackingPropertiesNotification, window,
                                 NSOperationQueue::mainQueue(), [weak](const NSNotification&) {
                                   const auto scale = weak.lock();
                                   if (!scale || !scale->sink_) return;
                                   // Every notification sends an event, whether the factor changed
                                   // or not.
                                   scale->sink_(EncodableValue(scale->currentScale()));
                                 });
  // A repeated registration replaces the observer rather than adding a second one.
  if (observer_) center->removeObserver(observer_);
  observer_ = std::move(observer);
}

std::optional<FlutterError> SystemScale::onListenWithArguments(const EncodableValue&,
                                                               FlutterEventSink events) {
  assertMainThread();
  sink_ = std::move(events);
  sink_(EncodableValue(currentScale()));
  return std::nullopt;
}

std::optional<FlutterError> SystemScale::onCancelWithArguments(const EncodableValue&) {
  assertMainThread();
  // The observer stays; without a sink its notifications send nothing.
  sink_ = FlutterEventSink();
  return std::nullopt;
}
