#include "platform/Security/SecTask.h"

#include <gtest/gtest.h>

#include "support/BundleFixture.h"

using test_support::BundleFixture;

namespace {

const char* const kEntitlements = R"(<dict>
  <key>com.apple.security.app-sandbox</key><true/>
  <key>com.apple.security.files.user-selected.read-only</key><false/>
  <key>com.apple.security.application-groups</key><array><string>TEAM.group</string></array>
</dict>)";

}  // namespace

TEST(SecTask, ReadsTheEntitlementsOfTheMainBundle) {
  BundleFixture bundle("<dict/>", kEntitlements);
  const SecTaskRef task = SecTaskCreateFromSelf(kCFAllocatorDefault);
  ASSERT_NE(task, nullptr);
  const auto sandbox =
      SecTaskCopyValueForEntitlement(task, "com.apple.security.app-sandbox", nullptr);
  ASSERT_NE(sandbox, nullptr);
  EXPECT_EQ(*sandbox->boolean(), true);
  // Present and false is a value, not an absence.
  const auto readOnly = SecTaskCopyValueForEntitlement(
      task, "com.apple.security.files.user-selected.read-only", nullptr);
  ASSERT_NE(readOnly, nullptr);
  EXPECT_EQ(*readOnly->boolean(), false);
  EXPECT_EQ(*SecTaskCopyValueForEntitlement(task, "com.apple.security.application-groups", nullptr)
                 ->array(),
            (PropertyList::Array{"TEAM.group"}));
  EXPECT_EQ(SecTaskCopyValueForEntitlement(
                task, "com.apple.security.files.user-selected.read-write", nullptr),
            nullptr);
  EXPECT_EQ(SecTaskCopyValueForEntitlement(nullptr, "com.apple.security.app-sandbox", nullptr),
            nullptr);
}

TEST(SecTask, ReadsBinaryEntitlements) {
  BundleFixture bundle("<dict/>");
  bundle.writeRaw("Contents/Resources/Entitlements.plist",
                  test_support::binaryPropertyList(test_support::xmlPropertyList(kEntitlements)));
  const auto task = SecTaskCreateFromSelf(kCFAllocatorDefault);
  ASSERT_NE(task, nullptr);
  EXPECT_NE(SecTaskCopyValueForEntitlement(task, "com.apple.security.app-sandbox", nullptr),
            nullptr);
}

TEST(SecTask, NoTaskWithoutReadableEntitlements) {
  BundleFixture bundle("<dict/>");
  EXPECT_EQ(SecTaskCreateFromSelf(kCFAllocatorDefault), nullptr);  // no file

  const std::string full = test_support::xmlPropertyList(kEntitlements);
  bundle.writeRaw("Contents/Resources/Entitlements.plist", full.substr(0, full.size() / 2));
  EXPECT_EQ(SecTaskCreateFromSelf(kCFAllocatorDefault), nullptr);  // truncated

  bundle.writeRaw("Contents/Resources/Entitlements.plist",
                  test_support::xmlPropertyList("<array><true/></array>"));
  EXPECT_EQ(SecTaskCreateFromSelf(kCFAllocatorDefault), nullptr);  // not a dictionary

  ::unlink((bundle.bundlePath() + "/Contents/Resources/Entitlements.plist").c_str());
  bundle.directory().makeDirectory("Test.app/Contents/Resources/Entitlements.plist");
  EXPECT_EQ(SecTaskCreateFromSelf(kCFAllocatorDefault), nullptr);  // a directory
}
