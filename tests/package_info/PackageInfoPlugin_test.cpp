#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "macos/Flutter/FlutterViewController.h"
#include "macos/Flutter/testing/InProcessDart.h"
#include "package_info_plus/Sources/package_info_plus/FPPPackageInfoPlusPlugin.h"
#include "support/BundleFixture.h"

using test_support::BundleFixture;
using test_support::ScopedEnvironmentVariable;
using test_support::TemporaryDirectory;

namespace {

const std::string kChannel = "dev.fluttercommunity.plus/package_info";

const char* const kFullInfo = R"(<dict>
  <key>CFBundleIdentifier</key><string>dev.tolvek.app</string>
  <key>CFBundleName</key><string>Tolvek</string>
  <key>CFBundleDisplayName</key><string>Tolvek Studio</string>
  <key>CFBundleShortVersionString</key><string>2.4.1</string>
  <key>CFBundleVersion</key><string>241</string>
</dict>)";

void setModificationTime(const std::string& path, time_t seconds, long nanoseconds) {
  const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// The plug-in registered through a registrar, a bundle of its own, a private home and no
// sandbox.
class PackageInfoTest : public ::testing::Test {
 protected:
  PackageInfoTest() {
    FPPPackageInfoPlusPlugin::registerWithRegistrar(
        controller->registrarForPlugin("FPPPackageInfoPlusPlugin"));
  }

  // Sets the bundle folder's modification time, after every change below it.
  void stampBundle(time_t seconds = 1700000000, long nanoseconds = 123900000) {
    setModificationTime(bundle.bundlePath(), seconds, nanoseconds);
  }

  EncodableMap getAll() {
    const auto reply = dart->invokeMethod(kChannel, "getAll");
    const auto* value = std::get_if<EncodableValue>(&reply);
    EXPECT_NE(value, nullptr);
    if (value == nullptr || value->map() == nullptr) return {};
    return *value->map();
  }
  static EncodableValue entry(const EncodableMap& map, const char* key) {
    const auto* value = map.find(key);
    EXPECT_NE(value, nullptr) << key << " is missing";
    return value ? *value : EncodableValue("(missing)");
  }

  // The Dart side and the messenger hold each other until the Dart side is detached.
  ~PackageInfoTest() override { controller->engine()->binaryMessenger()->detach(dart.get()); }

  std::shared_ptr<FlutterViewController> controller = FlutterViewController::create();
  std::shared_ptr<InProcessDart> dart =
      InProcessDart::attach(controller->engine()->binaryMessenger());
  TemporaryDirectory home;
  ScopedEnvironmentVariable homeVariable{"HOME", home.path()};
  ScopedEnvironmentVariable configHome{"XDG_CONFIG_HOME", std::nullopt};
  ScopedEnvironmentVariable sandbox{"APP_SANDBOX_CONTAINER_ID", std::nullopt};
  BundleFixture bundle{kFullInfo};
};

}  // namespace

TEST_F(PackageInfoTest, GetAllRepliesTheSevenKeysInOrder) {
  stampBundle();
  const auto map = getAll();
  std::vector<std::string> keys;
  for (const auto& [key, value] : map) keys.push_back(key.string() ? *key.string() : "?");
  EXPECT_EQ(keys, (std::vector<std::string>{"appName", "packageName", "version", "buildNumber",
                                            "installerStore", "installTime", "updateTime"}));
  EXPECT_EQ(entry(map, "appName"), EncodableValue("Tolvek Studio"));
  EXPECT_EQ(entry(map, "packageName"), EncodableValue("dev.tolvek.app"));
  EXPECT_EQ(entry(map, "version"), EncodableValue("2.4.1"));
  EXPECT_EQ(entry(map, "buildNumber"), EncodableValue("241"));
  EXPECT_TRUE(entry(map, "installerStore").isNull());
  // Outside the sandbox both times are the bundle's modification time, truncated to ms.
  EXPECT_EQ(entry(map, "updateTime"), EncodableValue("1700000000123"));
  EXPECT_EQ(entry(map, "installTime"), EncodableValue("1700000000123"));
}

TEST_F(PackageInfoTest, DisplayNameFallsBackToNameOnlyWhenAbsent) {
  bundle.writeInfo("<dict><key>CFBundleName</key><string>Tolvek</string></dict>");
  EXPECT_EQ(entry(getAll(), "appName"), EncodableValue("Tolvek"));
  bundle.writeInfo(
      "<dict><key>CFBundleName</key><string>Tolvek</string>"
      "<key>CFBundleDisplayName</key><string></string></dict>");
  EXPECT_EQ(entry(getAll(), "appName"), EncodableValue(""));
  bundle.writeInfo("<dict/>");
  EXPECT_TRUE(entry(getAll(), "appName").isNull());
}

TEST_F(PackageInfoTest, MissingValuesAreNilAndTheKeysStay) {
  bundle.writeInfo("<dict/>");
  const auto map = getAll();
  EXPECT_EQ(map.size(), 7u);
  for (const char* key : {"appName", "packageName", "version", "buildNumber", "installerStore"})
    EXPECT_TRUE(entry(map, key).isNull()) << key;
  EXPECT_FALSE(entry(map, "updateTime").isNull());
}

TEST_F(PackageInfoTest, NonStringInfoValuesArePassedOnAsTheCodecCarriesThem) {
  bundle.writeInfo(R"(<dict>
    <key>CFBundleDisplayName</key><true/>
    <key>CFBundleShortVersionString</key><real>2.5</real>
    <key>CFBundleVersion</key><integer>241</integer>
    <key>CFBundleIdentifier</key><integer>7</integer>
  </dict>)");
  const auto map = getAll();
  EXPECT_EQ(entry(map, "appName"), EncodableValue(true));
  EXPECT_EQ(entry(map, "version"), EncodableValue(2.5));
  EXPECT_EQ(entry(map, "buildNumber"), EncodableValue(int32_t{241}));
  EXPECT_TRUE(entry(map, "packageName").isNull());  // an identifier must be a string

  bundle.writeInfo(R"(<dict>
    <key>CFBundleVersion</key><integer>8589934592</integer>
    <key>CFBundleShortVersionString</key><array><string>a</string><integer>1</integer></array>
  </dict>)");
  const auto wide = getAll();
  EXPECT_EQ(entry(wide, "buildNumber"), EncodableValue(int64_t{8589934592}));
  EXPECT_EQ(entry(wide, "version"), EncodableValue(EncodableList{"a", int32_t{1}}));
}

TEST_F(PackageInfoTest, InsideTheSandboxInstallTimeIsTheDocumentsFolderCreation) {
  stampBundle();
  const std::string documents = home.makeDirectory("Documents");
  ScopedEnvironmentVariable inSandbox("APP_SANDBOX_CONTAINER_ID", "");  // empty still counts
  struct statx info {};
  ASSERT_EQ(::statx(AT_FDCWD, documents.c_str(), 0, STATX_BTIME, &info), 0);
  const auto map = getAll();
  EXPECT_EQ(entry(map, "updateTime"), EncodableValue("1700000000123"));
  if (info.stx_mask & STATX_BTIME) {
    const int64_t milliseconds =
        static_cast<int64_t>(info.stx_btime.tv_sec) * 1000 + info.stx_btime.tv_nsec / 1000000;
    EXPECT_EQ(entry(map, "installTime"), EncodableValue(std::to_string(milliseconds)));
  } else {
    // A file system without birth times: no install date, so the update time stands in.
    EXPECT_EQ(entry(map, "installTime"), EncodableValue("1700000000123"));
  }
}

TEST_F(PackageInfoTest, UnreadableAttributesGiveNilTimes) {
  stampBundle();
  {
    // In the sandbox without a documents folder: the update time stands in.
    ScopedEnvironmentVariable inSandbox("APP_SANDBOX_CONTAINER_ID", "container");
    EXPECT_EQ(entry(getAll(), "installTime"), EncodableValue("1700000000123"));
  }
  // A bundle whose folder is gone: no update time, and so no install time either.
  platform::setMainBundlePathForTesting(home / "Gone.app");
  const auto map = getAll();
  EXPECT_TRUE(entry(map, "updateTime").isNull());
  EXPECT_TRUE(entry(map, "installTime").isNull());
}

TEST_F(PackageInfoTest, OtherMethodsAreNotImplemented) {
  EXPECT_EQ(dart->invokeMethod(kChannel, "getall"),
            FlutterMethodReply(FlutterMethodNotImplemented));
  EXPECT_EQ(dart->invokeMethod(kChannel, "getAll "),
            FlutterMethodReply(FlutterMethodNotImplemented));
  // Arguments of getAll are ignored.
  const auto reply = dart->invokeMethod(kChannel, "getAll", EncodableValue(42));
  ASSERT_NE(std::get_if<EncodableValue>(&reply), nullptr);
  EXPECT_NE(std::get<EncodableValue>(reply).map(), nullptr);
}

TEST(PackageInfoMilliseconds, TruncatedTowardZeroOnBothSidesOf1970) {
  const FPPPackageInfoPlusPlugin plugin;
  const auto at = [&](double seconds) {
    return plugin.getTimeMillisStringFromDate(NSDate::dateWithTimeIntervalSince1970(seconds));
  };
  EXPECT_EQ(at(0.0015), "1");
  EXPECT_EQ(at(-0.0015), "-1");
  EXPECT_EQ(at(0.0), "0");
  EXPECT_EQ(at(-0.0004), "0");
  EXPECT_EQ(at(-86400.5), "-86400500");
  EXPECT_EQ(at(4102444800.5), "4102444800500");      // 2100-01-01
  EXPECT_EQ(at(253402300799.0), "253402300799000");  // 9999-12-31 23:59:59
  EXPECT_EQ(plugin.getTimeMillisStringFromDate(nullptr), std::nullopt);
  // Beyond what 64 bits hold: the nearest bound rather than an undefined value.
  EXPECT_EQ(at(1e300), "9223372036854775807");
  EXPECT_EQ(at(-1e300), "-9223372036854775808");
}
