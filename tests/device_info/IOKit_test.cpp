// The I/O Registry stand-in: the platform expert and its UUID property.

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "platform/IOKit/IOKitLib.h"
#include "platform/IOKit/PlatformExpert.h"
#include "tests/device_info/MachineTestSupport.h"

namespace {

using device_info_test::ScopedProfile;
using platform::iokit::formatUUID;
using platform::iokit::liveObjectCountForTesting;

// The platform expert's UUID property as a caller sees it, releasing what it obtained.
CFTypeRef readUUIDProperty() {
  const io_service_t service =
      IOServiceGetMatchingService(kIOMainPortDefault, IOServiceMatching("IOPlatformExpertDevice"));
  EXPECT_NE(service, IO_OBJECT_NULL);
  CFTypeRef property =
      IORegistryEntryCreateCFProperty(service, CFSTR(kIOPlatformUUIDKey), kCFAllocatorDefault, 0);
  EXPECT_EQ(IOObjectRelease(service), KERN_SUCCESS);
  return property;
}

std::optional<std::string> textOf(const CFTypeRef& property) {
  if (CFGetTypeID(property) != CFStringGetTypeID()) return std::nullopt;
  return static_cast<const CFString&>(*property).string();
}

TEST(IOKitUUID, FormatsMachineIdsAndUUIDsInUpperCase) {
  EXPECT_EQ(formatUUID("3d1219c7c4c5404aaa1f6d2a48adfda4"), "3D1219C7-C4C5-404A-AA1F-6D2A48ADFDA4");
  EXPECT_EQ(formatUUID("564d2a6e-1e5b-4b76-9a8f-2f1f0c3b7a10"),
            "564D2A6E-1E5B-4B76-9A8F-2F1F0C3B7A10");
  for (const char* bad :
       {"", "uninitialized", "3d1219c7c4c5404aaa1f6d2a48adfda", "3d1219c7c4c5404aaa1f6d2a48adfda4a",
        "3d1219c7c4c5404aaa1f6d2a48adfdg4", "564d2a6e1-e5b-4b76-9a8f-2f1f0c3b7a10",
        "3d1219c7-c4c5404aaa1f6d2a48adfda4"})
    EXPECT_FALSE(formatUUID(bad).has_value()) << bad;
}

TEST(IOKitUUID, TheBareMachineGivesAnIdDerivedFromItsMachineIdNeverTheIdItself) {
  ScopedProfile bare;
  const auto machineId = device_info_test::firstLineOf("/etc/machine-id");
  if (!machineId || machineId->size() != 32) GTEST_SKIP() << "this machine has no machine id";
  const std::string uuid = textOf(readUUIDProperty()).value_or("");
  ASSERT_EQ(formatUUID(uuid), uuid) << "an upper-case 8-4-4-4-12 UUID";
  EXPECT_NE(uuid, formatUUID(*machineId));
  // Derived ids are random-style (version 4, RFC 4122 variant) and the same at every read.
  EXPECT_EQ(uuid[14], '4') << uuid;
  EXPECT_NE(std::string("89AB").find(uuid[19]), std::string::npos) << uuid;
  EXPECT_EQ(textOf(readUUIDProperty()), uuid);
  // No half of the machine id shows through either.
  std::string upper;
  for (char c : *machineId) upper += static_cast<char>(std::toupper(c));
  std::string digits = uuid;
  std::erase(digits, '-');
  EXPECT_EQ(digits.find(upper.substr(0, 16)), std::string::npos);
  EXPECT_EQ(digits.find(upper.substr(16)), std::string::npos);
}

TEST(IOKitUUID, AProfileGivesAStringNoPropertyOrAnotherKindOfObject) {
  {
    ScopedProfile profile(R"({"platformUUID": "564D2A6E-1E5B-4B76-9A8F-2F1F0C3B7A10"})");
    EXPECT_EQ(textOf(readUUIDProperty()), "564D2A6E-1E5B-4B76-9A8F-2F1F0C3B7A10");
  }
  {
    ScopedProfile profile(R"({"platformUUID": null})");
    EXPECT_EQ(readUUIDProperty(), nullptr);
  }
  {
    ScopedProfile profile(R"({"platformUUID": {"notAString": 42}})");
    const CFTypeRef property = readUUIDProperty();
    ASSERT_NE(property, nullptr);
    EXPECT_NE(CFGetTypeID(property), CFStringGetTypeID());
  }
}

TEST(IOKitRegistry, OnlyThePlatformExpertMatchesAndOnlyOnTheDefaultPort) {
  const size_t live = liveObjectCountForTesting();
  EXPECT_EQ(IOServiceGetMatchingService(kIOMainPortDefault, IOServiceMatching("IOUSBDevice")),
            IO_OBJECT_NULL);
  EXPECT_EQ(IOServiceGetMatchingService(kIOMainPortDefault, nullptr), IO_OBJECT_NULL);
  EXPECT_EQ(IOServiceGetMatchingService(0x707, IOServiceMatching("IOPlatformExpertDevice")),
            IO_OBJECT_NULL);
  EXPECT_EQ(IOServiceMatching(nullptr), nullptr);
  EXPECT_EQ(liveObjectCountForTesting(), live);
  EXPECT_EQ(kIOMasterPortDefault, kIOMainPortDefault) << "both name the default main port";
}

TEST(IOKitRegistry, EveryReferenceIsReleasedOnceAndIsDeadAfterwards) {
  const size_t live = liveObjectCountForTesting();
  const io_service_t first =
      IOServiceGetMatchingService(kIOMainPortDefault, IOServiceMatching("IOPlatformExpertDevice"));
  const io_service_t second =
      IOServiceGetMatchingService(kIOMainPortDefault, IOServiceMatching("IOPlatformExpertDevice"));
  ASSERT_NE(first, IO_OBJECT_NULL);
  ASSERT_NE(second, first);
  EXPECT_EQ(liveObjectCountForTesting(), live + 2);

  EXPECT_EQ(IORegistryEntryCreateCFProperty(first, CFSTR("IOPlatformSerialNumberNot"),
                                            kCFAllocatorDefault, 0),
            nullptr);
  EXPECT_EQ(IORegistryEntryCreateCFProperty(first, nullptr, kCFAllocatorDefault, 0), nullptr);

  EXPECT_EQ(IOObjectRelease(first), KERN_SUCCESS);
  EXPECT_EQ(IOObjectRelease(first), KERN_INVALID_ARGUMENT);
  EXPECT_EQ(
      IORegistryEntryCreateCFProperty(first, CFSTR(kIOPlatformUUIDKey), kCFAllocatorDefault, 0),
      nullptr);
  EXPECT_EQ(IOObjectRelease(second), KERN_SUCCESS);
  EXPECT_EQ(IOObjectRelease(IO_OBJECT_NULL), KERN_INVALID_ARGUMENT);
  EXPECT_EQ(liveObjectCountForTesting(), live);
}

}  // namespace
