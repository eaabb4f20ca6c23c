#include <gtest/gtest.h>

#include "file_picker/FilePickerFixture.h"
#include "support/BundleFixture.h"

using namespace file_picker_test;

namespace {

using Outcomes = std::vector<std::string>;
const Outcomes kAllPass{"sheet", "sheet", "sheet", "sheet"};
const Outcomes kOpenOnly{"sheet", "sheet", "sheet", "ENTITLEMENT_REQUIRED_WRITE"};
const Outcomes kNone{"ENTITLEMENT_NOT_FOUND", "ENTITLEMENT_NOT_FOUND", "ENTITLEMENT_NOT_FOUND",
                     "ENTITLEMENT_REQUIRED_WRITE"};

using Entitlements = FilePickerTest;

TEST_F(Entitlements, ReadWriteAloneLetsEveryDialogThrough) {
  fake.entitlements = {{kReadWrite, true}};
  EXPECT_EQ(dialogOutcomes(), kAllPass);
  fake.entitlements = {{kReadWrite, true}, {kReadOnly, false}};
  EXPECT_EQ(dialogOutcomes(), kAllPass);
}

TEST_F(Entitlements, ReadOnlyLetsTheOpenDialogsThroughButNotSave) {
  fake.entitlements = {{kReadOnly, true}};
  EXPECT_EQ(dialogOutcomes(), kOpenOnly);
  // Read-write present but false counts as missing.
  fake.entitlements = {{kReadWrite, false}, {kReadOnly, true}};
  EXPECT_EQ(dialogOutcomes(), kOpenOnly);
}

TEST_F(Entitlements, WithoutEitherEveryDialogFails) {
  EXPECT_EQ(dialogOutcomes(), kNone);
  fake.entitlements = {{kReadWrite, false}, {kReadOnly, false}};
  EXPECT_EQ(dialogOutcomes(), kNone);
}

TEST_F(Entitlements, ValuesThatAreNotBooleansCountAsAbsent) {
  fake.entitlements = {{kReadWrite, "true"}, {kReadOnly, 1}};
  EXPECT_EQ(dialogOutcomes(), kNone);
  fake.entitlements = {{kReadWrite, PropertyList::Array{true}}, {kReadOnly, true}};
  EXPECT_EQ(dialogOutcomes(), kOpenOnly);
}

TEST_F(Entitlements, ErrorsCarryTheirMessagesAndNoDetails) {
  EXPECT_EQ(call("pickFiles"),
            errorReply("ENTITLEMENT_NOT_FOUND",
                       "Either the Read-Only or Read-Write entitlement is required for this "
                       "action."));
  EXPECT_EQ(call("saveFile"),
            errorReply("ENTITLEMENT_REQUIRED_WRITE",
                       "The Read-Write entitlement is required for this action."));
  fake.taskCanBeMade = false;
  EXPECT_EQ(call("getDirectoryPath"),
            errorReply("ENTITLEMENT_CHECK_FAILED", "Failed to verify file_picker entitlements."));
}

TEST_F(Entitlements, NoTaskFailsEveryDialog) {
  fake.taskCanBeMade = false;
  fake.entitlements = {{kReadWrite, true}};
  EXPECT_EQ(dialogOutcomes(), Outcomes(4, "ENTITLEMENT_CHECK_FAILED"));
  EXPECT_TRUE(fake.entitlementsRead.empty());
}

TEST_F(Entitlements, BothAreReadInOrderOnEveryCallAndTheTaskIsReleased) {
  fake.entitlements = {{kReadWrite, true}};
  dialogOutcomes();  // passes: read mode could stop at read-write, and does not
  fake.entitlements = {};
  dialogOutcomes();  // fails
  std::vector<std::string> expected;
  for (int i = 0; i < 8; ++i) {
    expected.push_back(kReadWrite);
    expected.push_back(kReadOnly);
  }
  EXPECT_EQ(fake.entitlementsRead, expected);
  EXPECT_EQ(fake.tasksMade, 8);
  EXPECT_EQ(fake.tasksReleased, 8);
}

TEST_F(Entitlements, NothingIsCached) {
  fake.entitlements = {{kReadWrite, true}};
  EXPECT_EQ(outcome("saveFile"), "sheet");
  fake.entitlements = {{kReadOnly, true}};
  EXPECT_EQ(outcome("saveFile"), "ENTITLEMENT_REQUIRED_WRITE");
  fake.entitlements = {{kReadWrite, true}};
  EXPECT_EQ(outcome("saveFile"), "sheet");
}

TEST_F(Entitlements, TheSwitchTurnsTheChecksOffForGood) {
  fake.taskCanBeMade = false;
  EXPECT_EQ(call("skipEntitlementsChecks"), nullReply());
  EXPECT_EQ(dialogOutcomes(), kAllPass);
  EXPECT_EQ(fake.tasksMade, 0);
  EXPECT_TRUE(fake.entitlementsRead.empty());
  // A second call changes nothing.
  EXPECT_EQ(call("skipEntitlementsChecks", false), nullReply());
  EXPECT_EQ(dialogOutcomes(), kAllPass);
}

TEST_F(Entitlements, TheSwitchIgnoresItsArguments) {
  for (const EncodableValue& arguments :
       {EncodableValue(false), EncodableValue(EncodableMap{{"skip", false}}), EncodableValue("no"),
        EncodableValue(EncodableList{1, 2})}) {
    EXPECT_EQ(call("skipEntitlementsChecks", arguments), nullReply());
  }
  EXPECT_EQ(outcome("saveFile"), "sheet");
}

TEST_F(Entitlements, MethodNamesMatchOnlyExactly) {
  for (const char* method :
       {"PickFiles", "pickfiles", "SAVEFILE", "getDirectorypath", "skipentitlementschecks",
        "SkipEntitlementsChecks", "pickFiles ", "", "unknown"}) {
    EXPECT_EQ(call(method), FlutterMethodReply(FlutterMethodNotImplemented)) << method;
  }
  // None of them turned the checks off or showed anything.
  EXPECT_EQ(dialogOutcomes(), kNone);
  EXPECT_EQ(sheet(), nullptr);
}

TEST_F(Entitlements, TheTestComesBeforeTheArgumentsAreLookedAt) {
  for (const EncodableValue& arguments :
       {EncodableValue(), EncodableValue(7), EncodableValue(EncodableMap{{1, "x"}})}) {
    EXPECT_EQ(outcome("pickFiles", arguments), "ENTITLEMENT_NOT_FOUND");
    EXPECT_EQ(outcome("saveFile", arguments), "ENTITLEMENT_REQUIRED_WRITE");
  }
}

// The same checks against real entitlement files in a bundle, read by the Security
// stand-in.
class BundleEntitlements : public FilePickerTest {
 protected:
  void registerPlugin() override { FilePickerPlugin::registerWithRegistrar(registrar); }
  static std::string entitlement(const char* key, const std::string& value) {
    return std::string("<key>") + key + "</key>" + value;
  }
  test_support::BundleFixture bundle{"<dict/>"};
};

TEST_F(BundleEntitlements, TheMatrixFromEntitlementFiles) {
  bundle.writeEntitlements("<dict>" + entitlement(kReadWrite, "<true/>") + "</dict>");
  EXPECT_EQ(dialogOutcomes(), kAllPass);
  bundle.writeEntitlements("<dict>" + entitlement(kReadOnly, "<true/>") + "</dict>");
  EXPECT_EQ(dialogOutcomes(), kOpenOnly);
  bundle.writeEntitlements("<dict>" + entitlement(kReadWrite, "<false/>") +
                           entitlement(kReadOnly, "<true/>") + "</dict>");
  EXPECT_EQ(dialogOutcomes(), kOpenOnly);
  bundle.writeEntitlements("<dict>" + entitlement(kReadWrite, "<string>YES</string>") +
                           entitlement(kReadOnly, "<integer>1</integer>") + "</dict>");
  EXPECT_EQ(dialogOutcomes(), kNone);
  bundle.writeEntitlements("<dict/>");
  EXPECT_EQ(dialogOutcomes(), kNone);
}

TEST_F(BundleEntitlements, AMissingOrBrokenFileFailsTheCheck) {
  EXPECT_EQ(dialogOutcomes(), Outcomes(4, "ENTITLEMENT_CHECK_FAILED"));
  bundle.writeRaw("Contents/Resources/Entitlements.plist", "<plist><dict><key>");
  EXPECT_EQ(dialogOutcomes(), Outcomes(4, "ENTITLEMENT_CHECK_FAILED"));
  bundle.writeEntitlements("<array/>");
  EXPECT_EQ(dialogOutcomes(), Outcomes(4, "ENTITLEMENT_CHECK_FAILED"));
  // The switch needs no file.
  EXPECT_EQ(call("skipEntitlementsChecks"), nullReply());
  EXPECT_EQ(dialogOutcomes(), kAllPass);
}

}  // namespace
