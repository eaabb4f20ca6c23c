#include "macos/Flutter/engine/DesktopControl.h"

#include "platform/dispatch/MainThread.h"

const DesktopControl& DesktopControl::shared() {
  static const DesktopControl control = [] {
    DesktopControl table;
    addDesktopWindowMethods(table);
    addDesktopScreenMethods(table);
    addDesktopSheetMethods(table);
    addDesktopPasteboardMethods(table);
    return table;
  }();
  return control;
}

FlutterMethodReply DesktopControl::handle(const FlutterMethodCall& call) const {
  assertMainThread();
  const auto method = methods_.find(call.method);
  if (method == methods_.end()) return FlutterMethodNotImplemented;
  try {
    return method->second(call.arguments);
  } catch (const std::exception& error) {
    return desktopBadArguments(error.what());
  }
}

void DesktopControl::addMethod(std::string name, Method method) {
  methods_[std::move(name)] = std::move(method);
}

FlutterError desktopBadArguments(const std::string& what) {
  return FlutterError::errorWithCode("bad-arguments", what);
}
