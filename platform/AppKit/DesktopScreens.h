#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/machine/MachineProfile.h"

class NSWindow;

namespace platform {

// The window server's side of the screens: what the user does by dragging a window to
// another display or changing a display's resolution. Whenever that changes a window's
// backing scale factor, the window announces it (NSWindowDidChangeBackingProperties...),
// as the platform does. Main thread only.

// Puts `window` on screen `index` of NSScreen::screens(), at the same place relative to
// the screen's origin as on its former screen. The caller checks that the screen exists.
void moveWindowToScreen(const std::shared_ptr<NSWindow>& window, size_t index);

// Replaces the desktop's screens. Each window stays on its screen index while that screen
// exists, and goes to screen 0 otherwise (to no screen when there is none).
void replaceScreens(const std::vector<ScreenDescription>& screens,
                    std::optional<size_t> mainScreen);

}  // namespace platform
