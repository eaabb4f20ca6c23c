// Device info over the transport: the real host on machine profiles and on this machine.
#include <sys/utsname.h>

#include <cctype>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "device_info/MachineTestSupport.h"
#include "platform/IOKit/PlatformExpert.h"
#include "support/TemporaryDirectory.h"
#include "tests/e2e/HostTestSupport.h"

namespace {

using tolvekdart::EngineClient;
using tolvekdart::HostProcess;

constexpr const char* kChannel = "dev.fluttercommunity.plus/device_info";

const char* const kReplyKeys[] = {"computerName", "hostName",      "arch",       "model",
                                  "modelName",    "kernelVersion", "osRelease",  "majorVersion",
                                  "minorVersion", "patchVersion",  "activeCPUs", "memorySize",
                                  "cpuFrequency", "systemGUID"};

// Writes a machine profile that lives as long as the test program, and names it in the
// host's environment.
HostProcess::Options withProfile(const std::string& json) {
  static test_support::TemporaryDirectory profiles;
  static int count = 0;
  auto options = hostOptions();
  options.environment.emplace_back(
      "TOLVEK_MACHINE", profiles.write("machine-" + std::to_string(++count) + ".json", json));
  return options;
}

// The reply to "getDeviceInfo", which must be a map of exactly the 14 keys.
EncodableValue deviceInfo(EngineClient& client, const EncodableValue& arguments = {}) {
  const auto reply = client.invokeMethod(kChannel, "getDeviceInfo", arguments);
  const auto* value = replyValue(reply);
  if (value == nullptr || value->map() == nullptr) {
    ADD_FAILURE() << "getDeviceInfo did not answer a map";
    return {};
  }
  EXPECT_EQ(value->map()->size(), std::size(kReplyKeys));
  for (const char* key : kReplyKeys) EXPECT_TRUE(field(*value, key)) << "no " << key;
  return *value;
}

// A Mac described key by key: every value of the reply comes from the profile.
class DeviceInfoOnAKnownMac : public SharedHostTest<DeviceInfoOnAKnownMac> {
 public:
  static HostProcess::Options suiteHostOptions() {
    return withProfile(R"json({
      "sysctl": {
        "kern.hostname":   {"string": "studio.local"},
        "kern.ostype":     {"string": "Darwin"},
        "hw.machine":      {"string": "arm64"},
        "hw.model":        {"string": "Mac14,13"},
        "kern.version":    {"string": "Darwin Kernel Version 23.5.0: Wed May  1 20:12:58 PDT 2024"},
        "hw.activecpu":    {"int32": 12},
        "hw.memsize":      {"uint64": 34359738368},
        "hw.cpufrequency": {"int64": 3228000000}
      },
      "platformUUID": "564D2A6E-1E5B-4B76-9A8F-2F1F0C3B7A10",
      "localizedHostName": "Studio",
      "operatingSystemVersion": [14, 5, 0],
      "operatingSystemVersionString": "Version 14.5 (Build 23F79)"
    })json");
  }
};

TEST_F(DeviceInfoOnAKnownMac, TheReplyIsTheMachineWithItsMarketingNameAndIntegerWidths) {
  // Equality of values compares the integer widths too: activeCPUs is an int32, every
  // other number an int64.
  const EncodableValue expected = EncodableMap{
      {"computerName", "Studio"},
      {"hostName", "Darwin"},
      {"arch", "arm64"},
      {"model", "Mac14,13"},
      {"modelName", "Mac Studio (2023)"},
      {"kernelVersion", "Darwin Kernel Version 23.5.0: Wed May  1 20:12:58 PDT 2024"},
      {"osRelease", "Version 14.5 (Build 23F79)"},
      {"majorVersion", int64_t{14}},
      {"minorVersion", int64_t{5}},
      {"patchVersion", int64_t{0}},
      {"activeCPUs", int32_t{12}},
      {"memorySize", int64_t{34359738368}},
      {"cpuFrequency", int64_t{3228000000}},
      {"systemGUID", "564D2A6E-1E5B-4B76-9A8F-2F1F0C3B7A10"},
  };
  EXPECT_EQ(deviceInfo(*client()), expected);
}

TEST_F(DeviceInfoOnAKnownMac, ArgumentsAreIgnoredAndEveryCallReadsAgain) {
  const EncodableValue plain = deviceInfo(*client());
  EXPECT_EQ(deviceInfo(*client(), EncodableMap{{"verbose", true}}), plain);
  EXPECT_EQ(deviceInfo(*client(), EncodableList{1, "two"}), plain);
}

TEST_F(DeviceInfoOnAKnownMac, OtherMethodNamesAreNotImplemented) {
  for (const char* method : {"GetDeviceInfo", "getdeviceinfo", "getDeviceInfo ", "", "getAll"}) {
    EXPECT_TRUE(std::holds_alternative<FlutterMethodNotImplementedType>(
        client()->invokeMethod(kChannel, method)))
        << '"' << method << '"';
  }
  // The channel still answers afterwards.
  EXPECT_TRUE(
      std::holds_alternative<EncodableValue>(client()->invokeMethod(kChannel, "getDeviceInfo")));
}

// A machine where every kernel variable the reply reads fails, with no localized host
// name and no platform UUID.
class DeviceInfoWithFailingReads : public SharedHostTest<DeviceInfoWithFailingReads> {
 public:
  static HostProcess::Options suiteHostOptions() {
    return withProfile(R"json({
      "sysctl": {
        "kern.hostname":   {"error": "EPERM"},
        "kern.ostype":     {"error": "ENOENT"},
        "hw.machine":      {"error": "EACCES"},
        "hw.model":        {"error": "EIO"},
        "kern.version":    {"error": "ENOMEM"},
        "hw.activecpu":    {"error": "EINVAL"},
        "hw.memsize":      {"error": "EFAULT"},
        "hw.cpufrequency": {"error": "ENOENT"}
      },
      "localizedHostName": null,
      "platformUUID": null,
      "operatingSystemVersion": [13, 6, 7],
      "operatingSystemVersionString": "Version 13.6.7 (Build 22G720)"
    })json");
  }
};

TEST_F(DeviceInfoWithFailingReads, EachValueTakesItsDefaultAndTheCallStillSucceeds) {
  const EncodableValue expected = EncodableMap{
      {"computerName", ""},
      {"hostName", ""},
      {"arch", ""},
      {"model", ""},
      {"modelName", "Unknown Model"},
      {"kernelVersion", ""},
      {"osRelease", "Version 13.6.7 (Build 22G720)"},
      {"majorVersion", int64_t{13}},
      {"minorVersion", int64_t{6}},
      {"patchVersion", int64_t{7}},
      {"activeCPUs", int32_t{0}},
      {"memorySize", int64_t{0}},
      {"cpuFrequency", int64_t{0}},
      {"systemGUID", EncodableValue()},
  };
  EXPECT_EQ(deviceInfo(*client()), expected);
}

// A machine with some unusual answers; what the profile does not name comes from Linux.
class DeviceInfoOnAnOddMachine : public SharedHostTest<DeviceInfoOnAnOddMachine> {
 public:
  static HostProcess::Options suiteHostOptions() {
    return withProfile(R"json({
      "sysctl": {
        "hw.memsize":      {"uint64": 9223372036854775813},
        "hw.cpufrequency": {"error": "ENOENT"},
        "kern.version":    {"hex": "ff fe 41 00"},
        "hw.model":        {"hex": "4d 61 63 31 34 2c 31 33"},
        "kern.hostname":   {"string": "odd-host"}
      },
      "platformUUID": {"notAString": 42},
      "localizedHostName": {"hex": "43 61 66 e9"}
    })json");
  }
};

TEST_F(DeviceInfoOnAnOddMachine, AMemorySizeAboveTheSignedRangeArrivesAsTheSameBitsNegative) {
  const EncodableValue info = deviceInfo(*client());
  // 2^63 + 5 as an unsigned size is -(2^63) + 5 as the signed 64-bit integer on the wire.
  EXPECT_EQ(valueAt(info, "memorySize"),
            EncodableValue(std::numeric_limits<int64_t>::min() + int64_t{5}));
}

TEST_F(DeviceInfoOnAnOddMachine, AMissingFrequencyIsZeroAndLeavesTheOtherValuesAlone) {
  const EncodableValue info = deviceInfo(*client());
  EXPECT_EQ(valueAt(info, "cpuFrequency"), EncodableValue(int64_t{0}));
  utsname names{};
  ASSERT_EQ(uname(&names), 0);
  EXPECT_EQ(valueAt(info, "arch"), EncodableValue(std::string(names.machine)));
  EXPECT_EQ(valueAt(info, "activeCPUs"),
            EncodableValue(static_cast<int32_t>(device_info_test::onlineProcessors())));
}

TEST_F(DeviceInfoOnAnOddMachine, ALocalizedNameThatIsNotUtf8CountsAsNoneAndTheReplyDecodes) {
  // "Caf" and a Latin-1 e-acute: the name is passed over for the kernel host name.
  EXPECT_EQ(valueAt(deviceInfo(*client()), "computerName"), EncodableValue("odd-host"));
}

TEST_F(DeviceInfoOnAnOddMachine, APlatformUUIDThatIsNotTextIsNullUnderItsKey) {
  const EncodableValue info = deviceInfo(*client());
  EXPECT_TRUE(valueAt(info, "systemGUID").isNull());
}

TEST_F(DeviceInfoOnAnOddMachine, TextThatIsNotUtf8IsEmptyAndTextWithoutItsNulIsKept) {
  const EncodableValue info = deviceInfo(*client());
  EXPECT_EQ(valueAt(info, "kernelVersion"), EncodableValue(""));
  // A text variable may come without its terminating NUL: all of its bytes are the text.
  EXPECT_EQ(valueAt(info, "model"), EncodableValue("Mac14,13"));
  EXPECT_EQ(valueAt(info, "modelName"), EncodableValue("Mac Studio (2023)"));
}

// No profile: what this Linux machine says.
class DeviceInfoOnThisMachine : public SharedHostTest<DeviceInfoOnThisMachine> {};

TEST_F(DeviceInfoOnThisMachine, ProcessorsArchitectureAndMemoryAreWhatLinuxReports) {
  const EncodableValue info = deviceInfo(*client());
  utsname names{};
  ASSERT_EQ(uname(&names), 0);
  EXPECT_EQ(valueAt(info, "arch"), EncodableValue(std::string(names.machine)));
  EXPECT_EQ(valueAt(info, "activeCPUs"),
            EncodableValue(static_cast<int32_t>(device_info_test::onlineProcessors())));
  EXPECT_EQ(valueAt(info, "memorySize"),
            EncodableValue(static_cast<int64_t>(device_info_test::physicalMemory())));
  // "hostName" is the kernel's system type name, not the host's name.
  if (const auto ostype = device_info_test::firstLineOf("/proc/sys/kernel/ostype")) {
    EXPECT_EQ(valueAt(info, "hostName"), EncodableValue(*ostype));
  }
}

TEST_F(DeviceInfoOnThisMachine, WithoutAPrettyHostNameTheComputerIsNamedByTheHostName) {
  if (pathExists("/etc/machine-info")) GTEST_SKIP() << "this machine may have a pretty host name";
  const auto hostName = device_info_test::firstLineOf("/proc/sys/kernel/hostname");
  ASSERT_TRUE(hostName);
  EXPECT_EQ(valueAt(deviceInfo(*client()), "computerName"), EncodableValue(*hostName));
}

TEST_F(DeviceInfoOnThisMachine, TheSystemGuidIsTheHostsOwnIdForThisMachine) {
  const auto machineId = device_info_test::firstLineOf("/etc/machine-id");
  if (!machineId || machineId->size() != 32) GTEST_SKIP() << "this machine has no machine id";
  const auto expected = platform::iokit::linuxPlatformUUID();
  ASSERT_TRUE(expected);
  EXPECT_EQ(valueAt(deviceInfo(*client()), "systemGUID"), EncodableValue(*expected));
}

// A machine profile that is not one stops the start with one line and a failing status.
TEST(DeviceInfoMachineProfile, AProfileThatCannotBeUsedEndsTheStartWithOneLine) {
  test_support::TemporaryDirectory directory;
  const std::string missing = directory / "no-such-profile.json";
  for (const std::string& path :
       {directory.write("not-json.json", "{\"sysctl\": {\"hw.model\": "),
        directory.write("int32-out-of-range.json",
                        R"({"sysctl": {"hw.activecpu": {"int32": 4294967296}}})"),
        directory.write("unknown-entry.json", R"({"keyboard": "de"})"), missing}) {
    auto options = hostOptions();
    options.environment.emplace_back("TOLVEK_MACHINE", path);
    const auto start = startExpectingFailure(options, directory / "stderr.txt");
    ASSERT_TRUE(start.status) << path << ": the host kept running";
    EXPECT_TRUE(WIFEXITED(*start.status) && WEXITSTATUS(*start.status) != 0)
        << path << ": wait status " << *start.status;
    EXPECT_TRUE(isOneLine(start.standardError)) << start.standardError;
    EXPECT_NE(start.standardError.find(path), std::string::npos) << start.standardError;
    EXPECT_FALSE(start.madeSocket) << path;
  }
}

}  // namespace
