#pragma once

#include <cstdint>

// The integer types of the platform's interfaces.
using NSInteger = long;
using NSUInteger = unsigned long;

// What a window looks like and which title-bar controls it has.
using NSWindowStyleMask = NSUInteger;
inline constexpr NSWindowStyleMask NSWindowStyleMaskBorderless = 0;
inline constexpr NSWindowStyleMask NSWindowStyleMaskTitled = 1 << 0;
inline constexpr NSWindowStyleMask NSWindowStyleMaskClosable = 1 << 1;
inline constexpr NSWindowStyleMask NSWindowStyleMaskMiniaturizable = 1 << 2;
inline constexpr NSWindowStyleMask NSWindowStyleMaskResizable = 1 << 3;
inline constexpr NSWindowStyleMask NSWindowStyleMaskUtilityWindow = 1 << 4;
inline constexpr NSWindowStyleMask NSWindowStyleMaskDocModalWindow = 1 << 6;
inline constexpr NSWindowStyleMask NSWindowStyleMaskNonactivatingPanel = 1 << 7;
inline constexpr NSWindowStyleMask NSWindowStyleMaskUnifiedTitleAndToolbar = 1 << 12;
inline constexpr NSWindowStyleMask NSWindowStyleMaskHUDWindow = 1 << 13;
inline constexpr NSWindowStyleMask NSWindowStyleMaskFullScreen = 1 << 14;
inline constexpr NSWindowStyleMask NSWindowStyleMaskFullSizeContentView = 1 << 15;

enum NSWindowTitleVisibility : NSInteger {
  NSWindowTitleVisible = 0,
  NSWindowTitleHidden = 1,
};

// The standard buttons of a window's title bar.
enum NSWindowButton : NSUInteger {
  NSWindowCloseButton = 0,
  NSWindowMiniaturizeButton = 1,
  NSWindowZoomButton = 2,
};

enum NSBackingStoreType : NSUInteger {
  NSBackingStoreRetained = 0,
  NSBackingStoreNonretained = 1,
  NSBackingStoreBuffered = 2,
};

enum NSApplicationTerminateReply : NSUInteger {
  NSTerminateCancel = 0,
  NSTerminateNow = 1,
  NSTerminateLater = 2,
};
