#pragma once

// The application's main entry: reads NSMainNibFile from the main bundle's Info.plist,
// loads that interface description (Contents/Resources/<NSMainNibFile>.json, which makes
// the application delegate and the main window and sends the window awakeFromNib), then
// runs the application until it terminates, and returns 0. When the application cannot
// start (an invalid machine profile, a missing or malformed bundle file) it writes one
// line, "tolvek: <why>", on standard error and returns 1. Main thread only.
int NSApplicationMain(int argc, char* argv[]);
