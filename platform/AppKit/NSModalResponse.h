#pragma once

#include "platform/AppKit/AppKitTypes.h"

// How a modal session or a sheet ended.
using NSModalResponse = NSInteger;
inline constexpr NSModalResponse NSModalResponseOK = 1;
inline constexpr NSModalResponse NSModalResponseCancel = 0;
