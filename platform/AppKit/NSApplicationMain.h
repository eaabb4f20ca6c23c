#pragma once

#include <string>

// The application's main entry: finds the bundle around the executable, reads
// NSMainNibFile from its Info.plist, loads that interface description (which makes the
// application delegate and the main window and sends the window awakeFromNib), then runs
// the application until it terminates, and returns 0. When the application cannot start
// (an invalid machine profile, a missing or malformed bundle file) it writes one line,
// "tolvek: <why>", on standard error and returns 1. Main thread only.
int NSApplicationMain(int argc, char* argv[]);

namespace platform {

// NSApplicationMain for the bundle at `bundlePath` (tests start the application from a
// bundle of their own).
int applicationMain(const std::string& bundlePath);

}  // namespace platform
