#pragma once

#include "macos/Runner/tolvek.h"
#include "platform/AppKit/NSPasteboard.h"

// The file clipboard: the four tolvek_clipboard_* exports (declared in tolvek.h) put file
// URLs on the general pasteboard and record, under the application's private pasteboard
// type, whether they were cut or copied. The mode lives on the pasteboard itself, so it is
// gone as soon as anyone, another application included, clears the pasteboard.

// The application's private pasteboard type for the mode: made on first use, the same
// value for the life of the process.
const NSPasteboardType& tolvekClipboardModeType();
