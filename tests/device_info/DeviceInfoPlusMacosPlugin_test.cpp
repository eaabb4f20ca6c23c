// The device info channel, called as the Dart side calls it, through the in-process engine.

#include "device_info_plus/Sources/device_info_plus/DeviceInfoPlusMacosPlugin.h"

#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <cerrno>

#include "macos/Flutter/FlutterViewController.h"
#include "macos/Flutter/testing/InProcessDart.h"
#include "platform/kernel/KernelVariables.h"
#include "tests/device_info/MachineTestSupport.h"

namespace {

using device_info_test::ScopedProfile;
using platform::kernel::KernelVariable;
using platform::kernel::ScopedKernelForTesting;

constexpr const char* kChannel = "dev.fluttercommunity.plus/device_info";

// A known Mac, as a machine profile describes it.
constexpr const char* kStudio = R"json({
  "sysctl": {
    "kern.hostname": {"string": "studio.local"},
    "kern.ostype": {"string": "Darwin"},
    "kern.version": {"string": "Darwin Kernel Version 23.5.0"},
    "hw.machine": {"string": "arm64"},
    "hw.model": {"string": "Mac14,13"},
    "hw.activecpu": {"int32": 12},
    "hw.memsize": {"uint64": 34359738368},
    "hw.cpufrequency": {"int64": 3504000000}
  },
  "platformUUID": "564D2A6E-1E5B-4B76-9A8F-2F1F0C3B7A10",
  "localizedHostName": "Studio",
  "operatingSystemVersion": [14, 5, 1],
  "operatingSystemVersionString": "Version 14.5 (Build 23F79)"
})json";

class DeviceInfoChannel : public ::testing::Test {
 protected:
  DeviceInfoChannel() {
    DeviceInfoPlusMacosPlugin::registerWithRegistrar(
        controller_->registrarForPlugin("DeviceInfoPlusMacosPlugin"));
    dart_ = InProcessDart::attach(controller_->engine()->binaryMessenger());
  }
  // The messenger and its Dart side hold each other until detached.
  ~DeviceInfoChannel() override { controller_->engine()->binaryMessenger()->detach(dart_.get()); }

  FlutterMethodReply call(const std::string& method, const EncodableValue& arguments = {}) {
    return dart_->invokeMethod(kChannel, method, arguments);
  }

  // The reply map of "getDeviceInfo"; fails the test when the reply is anything else.
  EncodableMap deviceInfo(const EncodableValue& arguments = {}) {
    const auto reply = call("getDeviceInfo", arguments);
    const auto* value = std::get_if<EncodableValue>(&reply);
    if (value == nullptr || value->map() == nullptr) {
      ADD_FAILURE() << "the reply is not a map";
      return {};
    }
    return *value->map();
  }

  static const EncodableValue& at(const EncodableMap& map, const char* key) {
    static const EncodableValue missing = std::string("<missing>");
    const EncodableValue* value = map.find(key);
    return value != nullptr ? *value : missing;
  }

 private:
  std::shared_ptr<FlutterViewController> controller_ = FlutterViewController::create();
  std::shared_ptr<InProcessDart> dart_;
};

TEST_F(DeviceInfoChannel, AKnownMacIsDescribedByFourteenEntriesOfTheirTypes) {
  ScopedProfile studio(kStudio);
  const EncodableMap expected{
      {"computerName", "Studio"},
      {"hostName", "Darwin"},
      {"arch", "arm64"},
      {"model", "Mac14,13"},
      {"modelName", "Mac Studio (2023)"},
      {"kernelVersion", "Darwin Kernel Version 23.5.0"},
      {"osRelease", "Version 14.5 (Build 23F79)"},
      {"majorVersion", int64_t{14}},
      {"minorVersion", int64_t{5}},
      {"patchVersion", int64_t{1}},
      {"activeCPUs", int32_t{12}},
      {"memorySize", int64_t{34359738368}},
      {"cpuFrequency", int64_t{3504000000}},
      {"systemGUID", "564D2A6E-1E5B-4B76-9A8F-2F1F0C3B7A10"},
  };
  const EncodableMap reply = deviceInfo();
  EXPECT_EQ(reply.size(), 14u);
  for (const auto& [key, value] : expected)
    EXPECT_EQ(at(reply, key.string()->c_str()), value) << *key.string();
  // Integer widths matter on the wire: the counts are int32, the rest int64.
  EXPECT_TRUE(std::holds_alternative<int32_t>(at(reply, "activeCPUs")));
  EXPECT_TRUE(std::holds_alternative<int64_t>(at(reply, "majorVersion")));
}

TEST_F(DeviceInfoChannel, UnreadableValuesBecomeEmptyTextZeroAndNull) {
  ScopedProfile machine(R"({"localizedHostName": null, "platformUUID": null})");
  ScopedKernelForTesting failing([](std::string_view) { return KernelVariable::failing(EIO); });
  const EncodableMap reply = deviceInfo();
  EXPECT_EQ(reply.size(), 14u);
  for (const char* key : {"computerName", "hostName", "arch", "model", "kernelVersion"})
    EXPECT_EQ(at(reply, key), EncodableValue("")) << key;
  EXPECT_EQ(at(reply, "modelName"), EncodableValue("Unknown Model"));
  EXPECT_EQ(at(reply, "activeCPUs"), EncodableValue(int32_t{0}));
  EXPECT_EQ(at(reply, "memorySize"), EncodableValue(int64_t{0}));
  EXPECT_EQ(at(reply, "cpuFrequency"), EncodableValue(int64_t{0}));
  ASSERT_NE(reply.find("systemGUID"), nullptr) << "the key stays, with a null value";
  EXPECT_TRUE(reply.find("systemGUID")->isNull());
}

TEST_F(DeviceInfoChannel, WithoutALocalizedNameTheComputerNameIsTheKernelHostName) {
  ScopedProfile machine(R"({"localizedHostName": null,
                           "sysctl": {"kern.hostname": {"string": "build-17"}}})");
  EXPECT_EQ(at(deviceInfo(), "computerName"), EncodableValue("build-17"));
}

TEST_F(DeviceInfoChannel, HostNameCarriesTheSystemTypeNotTheHostName) {
  ScopedProfile machine(R"({"sysctl": {"kern.hostname": {"string": "build-17"},
                                       "kern.ostype": {"string": "Darwin"}}})");
  EXPECT_EQ(at(deviceInfo(), "hostName"), EncodableValue("Darwin"));
}

TEST_F(DeviceInfoChannel, AMissingFrequencyLeavesTheOtherEntriesAlone) {
  ScopedProfile studio(kStudio);
  const EncodableMap before = deviceInfo();
  ScopedKernelForTesting noFrequency([](std::string_view name) {
    return name == "hw.cpufrequency" ? KernelVariable::failing(ENOENT)
                                     : platform::kernel::readMachineVariable(name);
  });
  const EncodableMap after = deviceInfo();
  EXPECT_EQ(at(after, "cpuFrequency"), EncodableValue(int64_t{0}));
  for (const auto& [key, value] : before) {
    if (*key.string() != "cpuFrequency") {
      EXPECT_EQ(at(after, key.string()->c_str()), value);
    }
  }
}

TEST_F(DeviceInfoChannel, AMemorySizeAboveTheSignedRangeTravelsAsTheSameBits) {
  ScopedProfile machine(R"({"sysctl": {"hw.memsize": {"uint64": 18446744073709551614}}})");
  EXPECT_EQ(at(deviceInfo(), "memorySize"), EncodableValue(int64_t{-2}));
}

TEST_F(DeviceInfoChannel, ModelNameComesFromASecondReadOfTheModel) {
  int reads = 0;
  ScopedKernelForTesting kernel([&reads](std::string_view name) {
    if (name != "hw.model") return KernelVariable::failing(ENOENT);
    // The first read (a size query and a copy) sees one model, the second another.
    return KernelVariable::text(reads++ < 2 ? "Mac14,13" : "MacMini9,1");
  });
  const EncodableMap reply = deviceInfo();
  EXPECT_EQ(at(reply, "model"), EncodableValue("Mac14,13"));
  EXPECT_EQ(at(reply, "modelName"), EncodableValue("Mac mini (2020)"));
}

TEST_F(DeviceInfoChannel, EveryCallReadsTheMachineAgain) {
  ScopedProfile studio(kStudio);
  EXPECT_EQ(at(deviceInfo(), "model"), EncodableValue("Mac14,13"));
  ScopedProfile mini(R"({"sysctl": {"hw.model": {"string": "MacMini9,1"}}})");
  const EncodableMap reply = deviceInfo();
  EXPECT_EQ(at(reply, "model"), EncodableValue("MacMini9,1"));
  EXPECT_EQ(at(reply, "modelName"), EncodableValue("Mac mini (2020)"));
}

TEST_F(DeviceInfoChannel, ArgumentsAreIgnored) {
  ScopedProfile studio(kStudio);
  EXPECT_EQ(deviceInfo(EncodableValue(EncodableMap{{"verbose", true}})), deviceInfo());
  EXPECT_EQ(deviceInfo(EncodableValue(int32_t{7})), deviceInfo());
}

TEST_F(DeviceInfoChannel, OnlyTheExactMethodNameIsServed) {
  for (const char* method : {"GetDeviceInfo", "getdeviceinfo", "getDeviceInfo ", "", "getInfo"}) {
    const auto reply = call(method);
    EXPECT_TRUE(std::holds_alternative<FlutterMethodNotImplementedType>(reply)) << method;
  }
}

TEST_F(DeviceInfoChannel, OnTheRealMachineTheCountsMatchLinux) {
  ScopedProfile bare;
  utsname names{};
  ASSERT_EQ(uname(&names), 0);
  const EncodableMap reply = deviceInfo();
  EXPECT_EQ(at(reply, "activeCPUs"),
            EncodableValue(static_cast<int32_t>(device_info_test::onlineProcessors())));
  EXPECT_EQ(at(reply, "arch"), EncodableValue(names.machine));
  EXPECT_EQ(at(reply, "memorySize"),
            EncodableValue(static_cast<int64_t>(device_info_test::physicalMemory())));
}

}  // namespace
