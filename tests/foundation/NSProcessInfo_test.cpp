#include "platform/Foundation/NSProcessInfo.h"

#include <gtest/gtest.h>

#include "platform/Foundation/NSHost.h"
#include "platform/machine/MachineProfile.h"
#include "support/TemporaryDirectory.h"

using platform::MachineProfile;
using test_support::ScopedEnvironmentVariable;

namespace {

// Every test starts from an empty machine profile and the default emulated system.
class SystemTest : public ::testing::Test {
 protected:
  SystemTest() { MachineProfile::setCurrentForTesting(MachineProfile{}); }
  ~SystemTest() override {
    MachineProfile::setCurrentForTesting(MachineProfile{});
    platform::setEmulatedOperatingSystemVersionForTesting(std::nullopt);
    platform::setMachineInfoPathForTesting(std::nullopt);
  }
};

using NSProcessInfoTest = SystemTest;
using NSHostTest = SystemTest;

}  // namespace

TEST_F(NSProcessInfoTest, EnvironmentIsReadLive) {
  const auto info = NSProcessInfo::processInfo();
  {
    ScopedEnvironmentVariable sandbox("APP_SANDBOX_CONTAINER_ID", "");
    const auto environment = info->environment();
    ASSERT_EQ(environment.count("APP_SANDBOX_CONTAINER_ID"), 1u);
    EXPECT_EQ(environment.at("APP_SANDBOX_CONTAINER_ID"), "");
  }
  ScopedEnvironmentVariable value("TOLVEK_TEST_VALUE", "a=b=c");
  EXPECT_EQ(info->environment().count("APP_SANDBOX_CONTAINER_ID"), 0u);
  EXPECT_EQ(info->environment().at("TOLVEK_TEST_VALUE"), "a=b=c");
}

TEST_F(NSProcessInfoTest, DefaultSystemIsTheEmulatedCurrentMacOS) {
  const auto info = NSProcessInfo::processInfo();
  EXPECT_EQ(info->operatingSystemVersion(), (NSOperatingSystemVersion{15, 1, 0}));
  EXPECT_EQ(info->operatingSystemVersionString(), "Version 15.1 (Build 24B83)");
  EXPECT_TRUE(info->isOperatingSystemAtLeastVersion({11, 0, 0}));
  EXPECT_TRUE(info->isOperatingSystemAtLeastVersion({15, 1, 0}));
  EXPECT_FALSE(info->isOperatingSystemAtLeastVersion({15, 1, 1}));
  EXPECT_FALSE(info->isOperatingSystemAtLeastVersion({16, 0, 0}));
}

TEST_F(NSProcessInfoTest, EmulatedVersionCanBeSetAndComparesPartByPart) {
  const auto info = NSProcessInfo::processInfo();
  platform::setEmulatedOperatingSystemVersionForTesting(NSOperatingSystemVersion{10, 15, 7});
  EXPECT_EQ(info->operatingSystemVersionString(), "Version 10.15.7");
  EXPECT_FALSE(info->isOperatingSystemAtLeastVersion({11, 0, 0}));
  EXPECT_TRUE(info->isOperatingSystemAtLeastVersion({10, 9, 9}));
  // 12.0.0 is where the two answers of a 12.0 test meet.
  platform::setEmulatedOperatingSystemVersionForTesting(NSOperatingSystemVersion{12, 0, 0},
                                                        "Version 12.0 (Build 21A344)");
  EXPECT_TRUE(info->isOperatingSystemAtLeastVersion({12, 0, 0}));
  EXPECT_EQ(info->operatingSystemVersionString(), "Version 12.0 (Build 21A344)");
}

TEST_F(NSProcessInfoTest, MachineProfileWins) {
  platform::setEmulatedOperatingSystemVersionForTesting(NSOperatingSystemVersion{10, 15, 0});
  MachineProfile::setCurrentForTesting(MachineProfile::parse(R"json({
    "operatingSystemVersion": [14, 5, 0],
    "operatingSystemVersionString": "Version 14.5 (Build 23F79)"
})json"));
  const auto info = NSProcessInfo::processInfo();
  EXPECT_EQ(info->operatingSystemVersion(), (NSOperatingSystemVersion{14, 5, 0}));
  EXPECT_EQ(info->operatingSystemVersionString(), "Version 14.5 (Build 23F79)");

  // A profile version without its own string: the string follows that version.
  MachineProfile::setCurrentForTesting(
      MachineProfile::parse(R"({"operatingSystemVersion": [13, 6, 1]})"));
  EXPECT_EQ(info->operatingSystemVersionString(), "Version 13.6.1");
}

TEST_F(NSHostTest, PrettyHostNameComesFromMachineInfo) {
  test_support::TemporaryDirectory directory;
  const auto path = directory.write("machine-info",
                                    "CHASSIS=laptop\nPRETTY_HOSTNAME=\"Lena's \\\"Studio\\\"\"\n");
  platform::setMachineInfoPathForTesting(path);
  EXPECT_EQ(NSHost::currentHost()->localizedName(), "Lena's \"Studio\"");

  directory.write("machine-info", "PRETTY_HOSTNAME=\n");
  EXPECT_EQ(NSHost::currentHost()->localizedName(), std::nullopt);
  directory.write("machine-info", "CHASSIS=laptop\n");
  EXPECT_EQ(NSHost::currentHost()->localizedName(), std::nullopt);
  directory.write("machine-info", "PRETTY_HOSTNAME=Caf\xE9\n");
  EXPECT_EQ(NSHost::currentHost()->localizedName(), std::nullopt) << "not UTF-8";
  platform::setMachineInfoPathForTesting(directory / "missing");
  EXPECT_EQ(NSHost::currentHost()->localizedName(), std::nullopt);
}

TEST_F(NSHostTest, MachineProfileNameWinsEvenWhenNull) {
  test_support::TemporaryDirectory directory;
  platform::setMachineInfoPathForTesting(
      directory.write("machine-info", "PRETTY_HOSTNAME=FromFile\n"));
  MachineProfile::setCurrentForTesting(MachineProfile::parse(R"({"localizedHostName": "Studio"})"));
  EXPECT_EQ(NSHost::currentHost()->localizedName(), "Studio");
  MachineProfile::setCurrentForTesting(MachineProfile::parse(R"({"localizedHostName": null})"));
  EXPECT_EQ(NSHost::currentHost()->localizedName(), std::nullopt);
  MachineProfile::setCurrentForTesting(
      MachineProfile::parse(R"({"localizedHostName": {"hex": "43 61 66 c3 a9"}})"));
  EXPECT_EQ(NSHost::currentHost()->localizedName(), "Caf\xC3\xA9");
  // Not UTF-8: no name, and the file is not asked either.
  MachineProfile::setCurrentForTesting(
      MachineProfile::parse(R"({"localizedHostName": {"hex": "43 61 66 e9"}})"));
  EXPECT_EQ(NSHost::currentHost()->localizedName(), std::nullopt);
  MachineProfile::setCurrentForTesting(MachineProfile{});
  EXPECT_EQ(NSHost::currentHost()->localizedName(), "FromFile");
}
