#include "macos/Flutter/engine/DesktopControl.h"

// The window server's methods: filled in with the desktop model's windows.
void addDesktopWindowMethods(DesktopControl&) {}
