#include "macos/Flutter/FlutterPlugin.h"

void FlutterPlugin::handleMethodCall(const FlutterMethodCall&, FlutterResult result) {
  result(FlutterMethodNotImplemented);
}
