#include "platform/Foundation/NSBundle.h"

#include <gtest/gtest.h>

#include "support/BundleFixture.h"

using test_support::BundleFixture;

namespace {

const char* const kInfo = R"(<dict>
  <key>CFBundleIdentifier</key><string>dev.tolvek.app</string>
  <key>CFBundleName</key><string>Tolvek</string>
  <key>CFBundleVersion</key><integer>17</integer>
</dict>)";

}  // namespace

TEST(NSBundle, MainBundleIsTheBundleAroundTheExecutable) {
  EXPECT_EQ(platform::bundlePathForExecutable("/opt/X.app/Contents/MacOS/X"), "/opt/X.app");
  EXPECT_EQ(platform::bundlePathForExecutable("/opt/My Apps/X.app/Contents/MacOS/run"),
            "/opt/My Apps/X.app");
  // An executable that is not inside a bundle: the folder that holds it.
  EXPECT_EQ(platform::bundlePathForExecutable("/usr/bin/tests"), "/usr/bin");
  EXPECT_EQ(platform::bundlePathForExecutable("/opt/X.app/MacOS/X"), "/opt/X.app/MacOS");

  // The test program itself lives in a plain folder of the build.
  platform::setMainBundlePathForTesting(std::nullopt);
  const auto bundle = NSBundle::mainBundle();
  ASSERT_NE(bundle, nullptr);
  EXPECT_FALSE(bundle->bundlePath().empty());
  EXPECT_EQ(bundle, NSBundle::mainBundle());
}

TEST(NSBundle, ReadsInformationValuesFromXmlAndBinaryInfoPlist) {
  BundleFixture fixture(kInfo);
  auto bundle = NSBundle::mainBundle();
  EXPECT_EQ(bundle->bundlePath(), fixture.bundlePath());
  EXPECT_EQ(bundle->bundleIdentifier(), "dev.tolvek.app");
  EXPECT_EQ(*bundle->objectForInfoDictionaryKey("CFBundleName")->string(), "Tolvek");
  EXPECT_EQ(*bundle->objectForInfoDictionaryKey("CFBundleVersion")->integer(), 17);
  EXPECT_EQ(bundle->objectForInfoDictionaryKey("CFBundleDisplayName"), nullptr);
  EXPECT_EQ(bundle->infoDictionary().size(), 3u);

  fixture.writeRaw("Contents/Info.plist",
                   test_support::binaryPropertyList(test_support::xmlPropertyList(kInfo)));
  bundle = NSBundle::mainBundle();
  EXPECT_EQ(bundle->bundleIdentifier(), "dev.tolvek.app");
  EXPECT_EQ(*bundle->objectForInfoDictionaryKey("CFBundleVersion")->integer(), 17);
}

TEST(NSBundle, MissingOrBrokenInfoPlistLeavesEveryValueAbsent) {
  BundleFixture fixture(std::nullopt);
  const std::string full = test_support::xmlPropertyList(kInfo);
  for (const std::optional<std::string>& content :
       {std::optional<std::string>(), std::optional<std::string>(full.substr(0, full.size() - 20)),
        std::optional<std::string>(
            test_support::xmlPropertyList("<array><string>x</string></array>")),
        std::optional<std::string>("")}) {
    if (content) fixture.writeRaw("Contents/Info.plist", *content);
    const auto bundle = NSBundle::mainBundle();
    EXPECT_EQ(bundle->bundleIdentifier(), std::nullopt);
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("CFBundleName"), nullptr);
    EXPECT_TRUE(bundle->infoDictionary().empty());
  }
}

TEST(NSBundle, IdentifierThatIsNotAStringIsAbsent) {
  BundleFixture fixture("<dict><key>CFBundleIdentifier</key><integer>5</integer></dict>");
  EXPECT_EQ(NSBundle::mainBundle()->bundleIdentifier(), std::nullopt);
}

TEST(NSBundle, FindsResourcesInsideContentsResources) {
  BundleFixture fixture(kInfo);
  fixture.directory().write("Test.app/Contents/Resources/MainMenu.json", "{}");
  const auto bundle = NSBundle::mainBundle();
  EXPECT_EQ(bundle->resourcePath(), fixture.bundlePath() + "/Contents/Resources");
  EXPECT_EQ(bundle->pathForResource("MainMenu", "json"),
            fixture.bundlePath() + "/Contents/Resources/MainMenu.json");
  EXPECT_EQ(bundle->pathForResource("MainMenu", "plist"), std::nullopt);
  EXPECT_EQ(bundle->pathForResource("MainMenu.json", ""),
            fixture.bundlePath() + "/Contents/Resources/MainMenu.json");
}

TEST(NSBundle, BundleWithPathNeedsAnExistingDirectory) {
  BundleFixture fixture(kInfo);
  EXPECT_EQ(NSBundle::bundleWithPath(fixture.bundlePath())->bundleIdentifier(), "dev.tolvek.app");
  EXPECT_EQ(NSBundle::bundleWithPath(fixture.bundlePath() + "/nothing"), nullptr);
}
