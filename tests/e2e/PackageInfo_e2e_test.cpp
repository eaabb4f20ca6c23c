// Package info over the transport: the real host started from edited copies of its bundle.
#include <fcntl.h>
#include <plist/plist.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/TemporaryDirectory.h"
#include "tests/e2e/BundleCopy.h"
#include "tests/e2e/HostTestSupport.h"

namespace {

using e2e::BundleCopy;
using e2e::PlistFormat;
using tolvekdart::EngineClient;
using tolvekdart::HostProcess;

constexpr const char* kChannel = "dev.fluttercommunity.plus/package_info";
constexpr const char* kSandboxVariable = "APP_SANDBOX_CONTAINER_ID";

const char* const kReplyKeys[] = {"appName",        "packageName", "version",   "buildNumber",
                                  "installerStore", "installTime", "updateTime"};

// The reply to "getAll", which must be a map of the seven keys in their order.
EncodableValue packageInfo(EngineClient& client, const EncodableValue& arguments = {}) {
  const auto reply = client.invokeMethod(kChannel, "getAll", arguments);
  const auto* value = replyValue(reply);
  if (value == nullptr || value->map() == nullptr) {
    ADD_FAILURE() << "getAll did not answer a map";
    return {};
  }
  std::vector<std::string> keys;
  for (const auto& [key, item] : *value->map()) keys.push_back(key.string() ? *key.string() : "?");
  EXPECT_EQ(keys, std::vector<std::string>(std::begin(kReplyKeys), std::end(kReplyKeys)));
  EXPECT_TRUE(field(*value, "installerStore") && valueAt(*value, "installerStore").isNull());
  return *value;
}

// Starts a host from `options`, asks it once and quits it.
EncodableValue packageInfoOfAHost(HostProcess::Options options) {
  auto host = HostProcess::start(options);
  auto client = host->connect();
  client.setTimeout(std::chrono::seconds(10));
  const EncodableValue info = packageInfo(client);
  const int status = host->stop(client);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
  return info;
}

std::optional<statx_timestamp> fileTime(const std::string& path, unsigned int which) {
  struct statx info {};
  if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, which, &info) != 0) return std::nullopt;
  if (!(info.stx_mask & which)) return std::nullopt;
  return which == STATX_BTIME ? info.stx_btime : info.stx_mtime;
}

// A date as the plug-in renders it: seconds since 1970 as a floating-point number, in
// milliseconds, truncated toward zero.
std::string millisecondString(const statx_timestamp& time) {
  const double seconds = static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
  return std::to_string(static_cast<int64_t>(std::trunc(seconds * 1000.0)));
}

// Sets the modification time of `path`; false when the file system keeps another time.
bool setModificationTime(const std::string& path, int64_t seconds, long nanoseconds) {
  const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), nanoseconds}};
  if (utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) return false;
  const auto kept = fileTime(path, STATX_MTIME);
  return kept && kept->tv_sec == seconds && kept->tv_nsec == static_cast<uint32_t>(nanoseconds);
}

// The host's environment never carries the sandbox variable unless a test sets it.
HostProcess::Options outsideTheSandbox(HostProcess::Options options) {
  unsetenv(kSandboxVariable);
  return options;
}

// The built bundle, unchanged.
class PackageInfoOfTheBuiltBundle : public SharedHostTest<PackageInfoOfTheBuiltBundle> {
 public:
  static HostProcess::Options suiteHostOptions() { return outsideTheSandbox(hostOptions()); }
};

TEST_F(PackageInfoOfTheBuiltBundle, TheReplyIsTheBundlesIdentityAndItsModificationTimeTwice) {
  const std::string info = host()->bundlePath() + "/Contents/Info.plist";
  const auto modified = fileTime(host()->bundlePath(), STATX_MTIME);
  ASSERT_TRUE(modified);
  const auto string = [&info](const char* key) -> EncodableValue {
    const auto value = e2e::propertyListString(info, key);
    return value ? EncodableValue(*value) : EncodableValue();
  };
  const EncodableValue expected = EncodableMap{
      {"appName", string("CFBundleDisplayName")},
      {"packageName", string("CFBundleIdentifier")},
      {"version", string("CFBundleShortVersionString")},
      {"buildNumber", string("CFBundleVersion")},
      {"installerStore", EncodableValue()},
      {"installTime", millisecondString(*modified)},
      {"updateTime", millisecondString(*modified)},
  };
  EXPECT_EQ(packageInfo(*client()), expected);
}

TEST_F(PackageInfoOfTheBuiltBundle, ArgumentsAreIgnoredAndOtherMethodsAreNotImplemented) {
  const EncodableValue plain = packageInfo(*client());
  EXPECT_EQ(packageInfo(*client(), EncodableMap{{"fresh", true}}), plain);
  for (const char* method : {"getall", "GetAll", "getAll ", "", "getDeviceInfo"}) {
    EXPECT_TRUE(std::holds_alternative<FlutterMethodNotImplementedType>(
        client()->invokeMethod(kChannel, method)))
        << '"' << method << '"';
  }
}

TEST(PackageInfoOfAnEditedBundle, WithoutADisplayNameTheNameIsUsedAndOtherValuesPassAsTheyAre) {
  BundleCopy bundle;
  bundle.editPropertyList(BundleCopy::kInfo, [](plist_t root) {
    plist_dict_remove_item(root, "CFBundleDisplayName");
    plist_dict_set_item(root, "CFBundleName", plist_new_string("Tolvek Nightly"));
    plist_dict_set_item(root, "CFBundleShortVersionString", plist_new_uint(7));
    plist_dict_set_item(root, "CFBundleVersion", plist_new_bool(1));
  });
  const EncodableValue info = packageInfoOfAHost(outsideTheSandbox(bundle.hostOptions()));
  EXPECT_EQ(valueAt(info, "appName"), EncodableValue("Tolvek Nightly"));
  EXPECT_EQ(valueAt(info, "version"), EncodableValue(int32_t{7}));
  EXPECT_EQ(valueAt(info, "buildNumber"), EncodableValue(true));
}

TEST(PackageInfoOfAnEditedBundle, NegativeIntegersRealsAndFalseAreCarriedAsThemselves) {
  BundleCopy bundle;
  bundle.editPropertyList(BundleCopy::kInfo, [](plist_t root) {
    plist_dict_remove_item(root, "CFBundleDisplayName");
    plist_dict_set_item(root, "CFBundleName", plist_new_string("@NAME@"));
    plist_dict_set_item(root, "CFBundleShortVersionString", plist_new_real(1.5));
    plist_dict_set_item(root, "CFBundleVersion", plist_new_bool(0));
  });
  // A negative integer, written as a person would write it in the XML.
  std::string xml = bundle.read(BundleCopy::kInfo);
  const std::string placeholder = "<string>@NAME@</string>";
  ASSERT_NE(xml.find(placeholder), std::string::npos);
  xml.replace(xml.find(placeholder), placeholder.size(), "<integer>-5</integer>");
  bundle.write(BundleCopy::kInfo, xml);

  const EncodableValue info = packageInfoOfAHost(outsideTheSandbox(bundle.hostOptions()));
  EXPECT_EQ(valueAt(info, "appName"), EncodableValue(int32_t{-5}));
  EXPECT_EQ(valueAt(info, "version"), EncodableValue(1.5));
  EXPECT_EQ(valueAt(info, "buildNumber"), EncodableValue(false));
}

TEST(PackageInfoOfAnEditedBundle, ABinaryInfoWithAnEmptyDisplayNameKeepsItEmpty) {
  BundleCopy bundle;
  bundle.editPropertyList(
      BundleCopy::kInfo,
      [](plist_t root) {
        plist_dict_set_item(root, "CFBundleDisplayName", plist_new_string(""));
        plist_dict_set_item(root, "CFBundleName", plist_new_string("Tolvek"));
        plist_dict_set_item(root, "CFBundleShortVersionString", plist_new_string("2.5.0"));
        plist_dict_set_item(root, "CFBundleVersion", plist_new_uint(uint64_t{1} << 40));
      },
      PlistFormat::binary);
  const EncodableValue info = packageInfoOfAHost(outsideTheSandbox(bundle.hostOptions()));
  EXPECT_EQ(valueAt(info, "appName"), EncodableValue(""));
  EXPECT_EQ(valueAt(info, "version"), EncodableValue("2.5.0"));
  EXPECT_EQ(valueAt(info, "buildNumber"), EncodableValue(int64_t{1} << 40));
}

TEST(PackageInfoOfAnEditedBundle, MissingValuesAreNilUnderTheirKeys) {
  BundleCopy bundle;
  bundle.editPropertyList(BundleCopy::kInfo, [](plist_t root) {
    for (const char* key : {"CFBundleDisplayName", "CFBundleName", "CFBundleIdentifier",
                            "CFBundleShortVersionString", "CFBundleVersion"})
      plist_dict_remove_item(root, key);
  });
  const EncodableValue info = packageInfoOfAHost(outsideTheSandbox(bundle.hostOptions()));
  for (const char* key : {"appName", "packageName", "version", "buildNumber"})
    EXPECT_TRUE(valueAt(info, key).isNull()) << key;
  EXPECT_TRUE(valueAt(info, "updateTime").string()) << "the bundle still has a modification time";
}

TEST(PackageInfoOfAnEditedBundle, TimesAreMillisecondsTruncatedTowardZero) {
  const struct {
    int64_t seconds;
    long nanoseconds;
    const char* expected;
  } cases[] = {
      {1000000000, 1500000, "1000000000001"},  // 1.5 ms after a whole second
      {0, 1500000, "1"},                       // 1.5 ms after 1970 began
      {-1, 998500000, "-1"},                   // 1.5 ms before it
  };
  for (const auto& [seconds, nanoseconds, expected] : cases) {
    BundleCopy bundle;
    if (!setModificationTime(bundle.path(), seconds, nanoseconds)) {
      ADD_FAILURE() << "the file system does not keep the time " << seconds << " s";
      continue;
    }
    const EncodableValue info = packageInfoOfAHost(outsideTheSandbox(bundle.hostOptions()));
    EXPECT_EQ(valueAt(info, "updateTime"), EncodableValue(expected)) << expected;
    EXPECT_EQ(valueAt(info, "installTime"), EncodableValue(expected)) << expected;
  }
}

// In the sandbox: the install time is the creation time of the documents directory.
class PackageInfoInTheSandbox : public ::testing::Test {
 protected:
  // A host whose HOME is `home_` and whose environment has the sandbox variable set to
  // `value`; the bundle's modification time is 2001-09-09 01:46:40 UTC.
  EncodableValue packageInfoInSandbox(const std::string& value) {
    EXPECT_TRUE(setModificationTime(bundle_.path(), 1000000000, 0));
    auto options = bundle_.hostOptions();
    options.environment = {{"HOME", home_.path()}, {kSandboxVariable, value}};
    return packageInfoOfAHost(options);
  }

  BundleCopy bundle_;
  test_support::TemporaryDirectory home_;
};

TEST_F(PackageInfoInTheSandbox, EvenAnEmptyVariableMakesTheDocumentsCreationTheInstallTime) {
  const std::string documents = home_.makeDirectory("Documents");
  const EncodableValue info = packageInfoInSandbox("");
  EXPECT_EQ(valueAt(info, "updateTime"), EncodableValue("1000000000000"));
  const auto created = fileTime(documents, STATX_BTIME);
  if (!created) {
    // Without a birth time there is no install date: the update time stands in.
    EXPECT_EQ(valueAt(info, "installTime"), EncodableValue("1000000000000"));
    GTEST_SKIP() << "the file system reports no birth time for " << documents;
  }
  EXPECT_EQ(valueAt(info, "installTime"), EncodableValue(millisecondString(*created)));
}

TEST_F(PackageInfoInTheSandbox, WithoutADocumentsDirectoryTheUpdateTimeStandsIn) {
  const EncodableValue info = packageInfoInSandbox("app.tolvek.Tolvek");
  EXPECT_EQ(valueAt(info, "updateTime"), EncodableValue("1000000000000"));
  EXPECT_EQ(valueAt(info, "installTime"), EncodableValue("1000000000000"));
}

// An Info.plist cut short names no interface description: the start ends with one line.
TEST(PackageInfoOfAnEditedBundle, ATruncatedInfoPlistEndsTheStartWithOneLine) {
  for (const auto format : {PlistFormat::xml, PlistFormat::binary}) {
    BundleCopy bundle;
    bundle.editPropertyList(
        BundleCopy::kInfo, [](plist_t) {}, format);
    const std::string whole = bundle.read(BundleCopy::kInfo);
    bundle.write(BundleCopy::kInfo, whole.substr(0, whole.size() / 2));
    const auto start =
        startExpectingFailure(bundle.hostOptions(), bundle.directory() / "stderr.txt");
    const char* kind = format == PlistFormat::xml ? "XML" : "binary";
    ASSERT_TRUE(start.status) << kind << ": the host kept running";
    EXPECT_TRUE(WIFEXITED(*start.status) && WEXITSTATUS(*start.status) == 1)
        << kind << ": wait status " << *start.status;
    EXPECT_TRUE(isOneLine(start.standardError)) << start.standardError;
    EXPECT_NE(start.standardError.find(bundle.file(BundleCopy::kInfo)), std::string::npos)
        << start.standardError;
    EXPECT_NE(start.standardError.find("is not a property list"), std::string::npos)
        << start.standardError;
    EXPECT_FALSE(start.madeSocket) << kind;
  }
}

}  // namespace
