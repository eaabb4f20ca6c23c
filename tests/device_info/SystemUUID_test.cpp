// The platform UUID reader against the registry stand-in.

#include "device_info_plus/Sources/device_info_plus/SystemUUID.h"

#include <gtest/gtest.h>

#include "platform/IOKit/IOKitLib.h"
#include "platform/IOKit/PlatformExpert.h"
#include "tests/device_info/MachineTestSupport.h"

namespace {

using device_info_test::ScopedProfile;

TEST(SystemUUID, GivesTheMachinesUUIDWhenThereIsOne) {
  ScopedProfile bare;
  EXPECT_EQ(SystemUUID::getSystemUUID(), platform::iokit::linuxPlatformUUID());
  ScopedProfile known(R"({"platformUUID": "564D2A6E-1E5B-4B76-9A8F-2F1F0C3B7A10"})");
  EXPECT_EQ(SystemUUID::getSystemUUID(), "564D2A6E-1E5B-4B76-9A8F-2F1F0C3B7A10");
}

TEST(SystemUUID, GivesNoneForAMissingOrNonTextProperty) {
  {
    ScopedProfile missing(R"({"platformUUID": null})");
    EXPECT_EQ(SystemUUID::getSystemUUID(), std::nullopt);
  }
  {
    ScopedProfile number(R"({"platformUUID": {"notAString": 42}})");
    EXPECT_EQ(SystemUUID::getSystemUUID(), std::nullopt);
  }
}

TEST(SystemUUID, ReleasesTheServiceItObtained) {
  const size_t live = platform::iokit::liveObjectCountForTesting();
  for (const char* profile : {R"({"platformUUID": "X"})", R"({"platformUUID": null})",
                              R"({"platformUUID": {"notAString": 1}})"}) {
    ScopedProfile machine(profile);
    SystemUUID::getSystemUUID();
    EXPECT_EQ(platform::iokit::liveObjectCountForTesting(), live) << profile;
  }
}

}  // namespace
