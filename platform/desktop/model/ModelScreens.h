#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/machine/MachineProfile.h"

class NSScreen;

namespace platform {

// The desktop model's screens: those of the machine profile until the window server's
// control side replaces them. Main thread only.
std::vector<std::shared_ptr<NSScreen>> modelScreens();
std::optional<size_t> modelMainScreen();

// Replaces the model's screens without telling any window (tests). Windows keep their
// screen index; a window whose index no longer exists has no screen.
void setScreens(const std::vector<ScreenDescription>& screens, std::optional<size_t> mainScreen);
// Back to the screens of the machine profile.
void resetScreens();

}  // namespace platform
