#pragma once

#include <memory>

#include "macos/Flutter/codec/EncodableValue.h"

class DesktopArguments;
class NSWindow;
namespace platform {
struct DialogWindow;
}

// A window as the DESKTOP method "windows" reports it: id, class, title, frame, visible,
// key, main, zoomed, miniaturized, fullScreen, minSize, styleMask, titleVisibility,
// titlebarAppearsTransparent, movableByWindowBackground, hasToolbar, delegateIsSelf,
// hasContentViewController, screen, backingScaleFactor, buttons, dragEvents, sheet.
// Main thread only.
EncodableMap desktopWindowMap(const std::shared_ptr<NSWindow>& window);
// A file dialog the window server shows as a window of its own: id, class (the panel's),
// title, frame, visible. Main thread only.
EncodableMap desktopDialogMap(const platform::DialogWindow& dialog);
