#include "platform/machine/MachineProfile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using platform::MachineProfile;
using platform::MachineProfileError;

TEST(MachineProfile, ReadsEveryKindOfKernelValue) {
  const auto profile = MachineProfile::parse(R"({
    "sysctl": {
      "hw.model": {"string": "Mac14,13"},
      "hw.memsize": {"uint64": 34359738368},
      "hw.activecpu": {"int32": 12},
      "kern.osrevision": {"int64": -2},
      "hw.cpufrequency": {"error": "ENOENT"},
      "kern.version": {"hex": "ff fe 41 00"}
    }})");
  EXPECT_EQ(profile.sysctl.at("hw.model").bytes,
            (std::vector<uint8_t>{'M', 'a', 'c', '1', '4', ',', '1', '3', 0}));
  uint64_t memsize = 0;
  ASSERT_EQ(profile.sysctl.at("hw.memsize").bytes.size(), 8u);
  std::memcpy(&memsize, profile.sysctl.at("hw.memsize").bytes.data(), 8);
  EXPECT_EQ(memsize, 34359738368u);
  int32_t cpus = 0;
  std::memcpy(&cpus, profile.sysctl.at("hw.activecpu").bytes.data(), 4);
  EXPECT_EQ(cpus, 12);
  int64_t rev = 0;
  std::memcpy(&rev, profile.sysctl.at("kern.osrevision").bytes.data(), 8);
  EXPECT_EQ(rev, -2);
  EXPECT_EQ(profile.sysctl.at("hw.cpufrequency").error, ENOENT);
  EXPECT_EQ(profile.sysctl.at("kern.version").bytes,
            (std::vector<uint8_t>{0xff, 0xfe, 0x41, 0x00}));
}

TEST(MachineProfile, DistinguishesAbsentNullAndGivenValues) {
  const auto empty = MachineProfile::parse("{}");
  EXPECT_FALSE(empty.localizedHostName.has_value());
  EXPECT_FALSE(empty.platformUUID.has_value());
  EXPECT_FALSE(empty.mainScreen.has_value());

  const auto profile = MachineProfile::parse(R"({
    "platformUUID": {"notAString": 42}, "localizedHostName": null,
    "operatingSystemVersion": [14, 5, 0],
    "screens": [{"frame": [0, 0, 1512, 982], "backingScaleFactor": 2.0}], "mainScreen": null})");
  EXPECT_EQ(profile.platformUUID->kind, platform::PlatformUUIDOverride::Kind::NotAString);
  ASSERT_TRUE(profile.localizedHostName.has_value());
  EXPECT_FALSE(profile.localizedHostName->has_value());
  EXPECT_EQ(*profile.operatingSystemVersion, (std::vector<int64_t>{14, 5, 0}));
  ASSERT_EQ(profile.screens->size(), 1u);
  EXPECT_EQ((*profile.screens)[0].width, 1512);
  ASSERT_TRUE(profile.mainScreen.has_value());
  EXPECT_FALSE(profile.mainScreen->has_value());
}

TEST(MachineProfile, RejectsFilesThatAreNotValidProfilesWithAClearReason) {
  const struct {
    const char* text;
    const char* reason;
  } cases[] = {
      {"not json", "not valid JSON"},
      {"[]", "must be a JSON object"},
      {R"({"sysctl": {"hw.model": {"float": 1}}})", "unknown value kind"},
      {R"({"sysctl": {"hw.model": {"error": "ENOTANERROR"}}})", "unknown errno name"},
      {R"({"sysctl": {"kern.version": {"hex": "abc"}}})", "odd number"},
      {R"({"sysctl": {"hw.activecpu": {"int32": 4294967296}}})", "32-bit range"},
      {R"({"screens": [{"frame": [0, 0, 10]}]})", "frame"},
      {R"({"screens": [], "mainScreen": 3})", "names no screen"},
      {R"({"screens": [{"frame": [0, 0, 1, 1], "backingScaleFactor": 0}]})", "at most 16"},
      {R"({"screens": [{"frame": [0, 0, 1, 1], "backingScaleFactor": -2}]})", "at most 16"},
      {R"({"screens": [{"frame": [0, 0, 1, 1], "backingScaleFactor": 1e308}]})", "at most 16"},
      {R"({"screens": [{"frame": [0, 0, 1, 1], "backingScaleFactor": 16.5}]})", "at most 16"},
      {R"({"colour": "blue"})", "unknown entry"},
  };
  for (const auto& c : cases) {
    try {
      MachineProfile::parse(c.text);
      ADD_FAILURE() << "accepted " << c.text;
    } catch (const MachineProfileError& error) {
      EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos)
          << c.text << " gave: " << error.what();
    }
  }
}

TEST(MachineProfile, LoadNamesTheFileThatCannotBeRead) {
  try {
    MachineProfile::load("/nonexistent/profile.json");
    ADD_FAILURE() << "loaded a missing file";
  } catch (const MachineProfileError& error) {
    EXPECT_NE(std::string(error.what()).find("/nonexistent/profile.json"), std::string::npos);
  }
}
