#pragma once

#include <memory>
#include <optional>

#include "macos/Flutter/FlutterEventChannel.h"
#include "macos/Flutter/FlutterViewController.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/Foundation/NSObject.h"

// The backing scale factor of the display showing the main window, for the Dart code:
// answered on "tolvek/system_scale" (method "getScale") and pushed on
// "tolvek/system_scale/events" at each listen and at each backing-properties change of the
// window. Every value is a double between 0.5 and 4.0. Main thread only.
class SystemScale : public NSObject, public FlutterStreamHandler {
 public:
  // The one instance of the process, made on first use and never destroyed.
  static std::shared_ptr<SystemScale> shared();

  // Installs both channels on the controller's engine and observes the window's
  // backing-properties changes. A second call moves everything to the new controller and
  // window and removes the earlier observer, so one notification never sends two events.
  void registerController(const std::shared_ptr<FlutterViewController>& controller,
                          const std::shared_ptr<NSWindow>& window);

  // The window's factor; the main screen's once the window is gone; 1.0 with no screen
  // either; clamped to 0.5 ... 4.0.
  double currentScale() const;

  std::optional<FlutterError> onListenWithArguments(const EncodableValue& arguments,
                                                    FlutterEventSink events) override;
  std::optional<FlutterError> onCancelWithArguments(const EncodableValue& arguments) override;

 private:
  std::weak_ptr<NSWindow> window_;
  FlutterEventSink sink_;
  std::shared_ptr<NSObject> observer_;
};
