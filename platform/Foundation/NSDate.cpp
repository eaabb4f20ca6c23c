#include "platform/Foundation/NSDate.h"

#include <chrono>

std::shared_ptr<NSDate> NSDate::date() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return dateWithTimeIntervalSince1970(std::chrono::duration<double>(now).count());
}

std::shared_ptr<NSDate> NSDate::dateWithTimeIntervalSince1970(double seconds) {
  return std::make_shared<NSDate>(seconds);
}

std::shared_ptr<NSDate> NSDate::dateWithTimeIntervalSinceReferenceDate(double seconds) {
  return std::make_shared<NSDate>(seconds + NSTimeIntervalSince1970);
}
