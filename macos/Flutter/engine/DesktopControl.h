#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "macos/Flutter/codec/FlutterMethodCodec.h"

// The control side of the desktop model as the engine transport offers it to a peer: the
// user, the window server and other applications, as DESKTOP method calls.
class DesktopControl {
 public:
  using Method = std::function<FlutterMethodReply(const EncodableValue& arguments)>;

  // The table of every DESKTOP method the stand-in supports.
  static const DesktopControl& shared();

  // Answers one call on the main thread: the method's reply, FlutterMethodNotImplemented
  // for an unknown method, or the error "bad-arguments".
  FlutterMethodReply handle(const FlutterMethodCall& call) const;

  void addMethod(std::string name, Method method);

 private:
  std::map<std::string, Method> methods_;
};

// The error a DESKTOP method answers for arguments it cannot use.
FlutterError desktopBadArguments(const std::string& what);

// Each area of the desktop model adds its methods to the table.
void addDesktopWindowMethods(DesktopControl& control);
void addDesktopScreenMethods(DesktopControl& control);
void addDesktopSheetMethods(DesktopControl& control);
void addDesktopPasteboardMethods(DesktopControl& control);

class NSWindow;
// The sheet `window` shows, as "sheet" reports it: null, or {"class": the panel's class,
// "settings": [[selector, value], ...]} with every setter call in call order.
EncodableValue desktopSheetDescription(const std::shared_ptr<NSWindow>& window);
