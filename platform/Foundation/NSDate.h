#pragma once

#include <memory>

#include "platform/Foundation/NSObject.h"

// A point in time, as seconds since 1970-01-01 00:00:00 UTC. Immutable.
class NSDate : public NSObject {
 public:
  // Seconds between the platform's reference date (2001-01-01 00:00:00 UTC) and 1970.
  static constexpr double NSTimeIntervalSince1970 = 978307200.0;

  explicit NSDate(double secondsSince1970) : seconds_(secondsSince1970) {}

  static std::shared_ptr<NSDate> date();  // now
  static std::shared_ptr<NSDate> dateWithTimeIntervalSince1970(double seconds);
  static std::shared_ptr<NSDate> dateWithTimeIntervalSinceReferenceDate(double seconds);

  double timeIntervalSince1970() const { return seconds_; }
  double timeIntervalSinceReferenceDate() const { return seconds_ - NSTimeIntervalSince1970; }

  bool isEqualToDate(const NSDate& other) const { return seconds_ == other.seconds_; }

 private:
  double seconds_;
};
