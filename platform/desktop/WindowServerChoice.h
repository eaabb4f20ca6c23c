#pragma once

#include <stdexcept>

namespace platform {

class WindowServerChoiceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Installs the window server that TOLVEK_DESKTOP names: "model" (the in-process desktop
// model) or "gtk" (the real desktop through GTK 3). Unset or empty: "gtk" when DISPLAY or
// WAYLAND_DISPLAY is set, else "model". Throws WindowServerChoiceError, saying why, for
// any other value and when "gtk" finds no display that opens. Start-up only, main thread.
void installChosenWindowServer();

}  // namespace platform
