#pragma once

#include "platform/dispatch/MainThread.h"

class NSThread {
 public:
  static bool isMainThread() { return platform::isMainThread(); }
};
