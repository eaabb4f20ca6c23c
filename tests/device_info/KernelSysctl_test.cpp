// The kernel stand-in's calling convention, its Linux answers and machine profiles.

#include <gtest/gtest.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Foundation/NSProcessInfo.h"
#include "platform/kernel/KernelVariables.h"
#include "platform/kernel/sysctl.h"
#include "tests/device_info/MachineTestSupport.h"

namespace {

using namespace platform::kernel;
using device_info_test::ScopedProfile;

// Reads a whole variable by the two-call exchange; fails the test on an error.
std::vector<uint8_t> readAll(std::vector<int> mib) {
  size_t size = 0;
  EXPECT_EQ(sysctl(mib.data(), mib.size(), nullptr, &size, nullptr, 0), 0) << errno;
  std::vector<uint8_t> bytes(size);
  EXPECT_EQ(sysctl(mib.data(), mib.size(), bytes.data(), &size, nullptr, 0), 0) << errno;
  EXPECT_EQ(size, bytes.size());
  return bytes;
}

std::string readText(std::vector<int> mib) {
  const auto bytes = readAll(std::move(mib));
  EXPECT_FALSE(bytes.empty());
  EXPECT_EQ(bytes.empty() ? -1 : bytes.back(), 0) << "text variables carry their NUL";
  return std::string(bytes.begin(), bytes.end() - (bytes.empty() ? 0 : 1));
}

template <typename T>
T readValue(std::vector<int> mib) {
  const auto bytes = readAll(std::move(mib));
  T value{};
  EXPECT_EQ(bytes.size(), sizeof(T));
  if (bytes.size() == sizeof(T)) std::memcpy(&value, bytes.data(), sizeof(T));
  return value;
}

// errno after a call that must fail.
int failure(int status) {
  EXPECT_EQ(status, -1);
  return errno;
}

class KernelSysctl : public ::testing::Test {
  ScopedProfile bareMachine_;
};

TEST_F(KernelSysctl, SizeQueryReportsTheWholeValueWithoutCopying) {
  utsname names{};
  ASSERT_EQ(uname(&names), 0);
  int mib[] = {CTL_HW, HW_MACHINE};
  size_t size = 0;
  ASSERT_EQ(sysctl(mib, 2, nullptr, &size, nullptr, 0), 0);
  EXPECT_EQ(size, std::strlen(names.machine) + 1);
}

TEST_F(KernelSysctl, ShortBufferGetsTheFirstBytesTheCountCopiedAndENOMEM) {
  utsname names{};
  ASSERT_EQ(uname(&names), 0);
  ASSERT_GT(std::strlen(names.machine), 2u);
  int mib[] = {CTL_HW, HW_MACHINE};
  char buffer[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
  size_t size = 2;
  EXPECT_EQ(failure(sysctl(mib, 2, buffer, &size, nullptr, 0)), ENOMEM);
  EXPECT_EQ(size, 2u);
  EXPECT_EQ(std::string(buffer, 3), std::string(names.machine, 2) + "#");

  // A fixed-size variable behaves the same.
  int memsize[] = {CTL_HW, HW_MEMSIZE};
  uint32_t half = 0;
  size = sizeof(half);
  EXPECT_EQ(failure(sysctl(memsize, 2, &half, &size, nullptr, 0)), ENOMEM);
  EXPECT_EQ(size, sizeof(half));
}

TEST_F(KernelSysctl, LargerBufferReceivesTheValueAndItsSize) {
  int mib[] = {CTL_HW, HW_MEMSIZE};
  uint64_t value[2] = {0, 77};
  size_t size = sizeof(value);
  ASSERT_EQ(sysctl(mib, 2, value, &size, nullptr, 0), 0);
  EXPECT_EQ(size, sizeof(uint64_t));
  EXPECT_EQ(value[0], device_info_test::physicalMemory());
  EXPECT_EQ(value[1], 77u) << "bytes past the value are untouched";
}

TEST_F(KernelSysctl, RejectsBadCallsWithThePlatformsErrno) {
  int unknown[] = {CTL_HW, 999};
  int unknownTop[] = {42, 1};
  int hostname[] = {CTL_KERN, KERN_HOSTNAME};
  int deep[CTL_MAXNAME + 1] = {CTL_KERN, KERN_HOSTNAME};
  size_t size = 0;
  EXPECT_EQ(failure(sysctl(unknown, 2, nullptr, &size, nullptr, 0)), ENOENT);
  EXPECT_EQ(failure(sysctl(unknownTop, 2, nullptr, &size, nullptr, 0)), ENOENT);
  EXPECT_EQ(failure(sysctl(hostname, 1, nullptr, &size, nullptr, 0)), EINVAL);
  EXPECT_EQ(failure(sysctl(deep, CTL_MAXNAME + 1, nullptr, &size, nullptr, 0)), EINVAL);
  EXPECT_EQ(failure(sysctl(nullptr, 2, nullptr, &size, nullptr, 0)), EFAULT);
  const char name[] = "elsewhere";
  EXPECT_EQ(failure(sysctl(hostname, 2, nullptr, nullptr, name, sizeof(name))), EPERM);
}

TEST_F(KernelSysctl, NameToMIBFollowsTheCapacityProtocol) {
  int mib[CTL_MAXNAME] = {};
  size_t count = CTL_MAXNAME;
  ASSERT_EQ(sysctlnametomib("hw.memsize", mib, &count), 0);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(mib[0], CTL_HW);
  EXPECT_EQ(mib[1], HW_MEMSIZE);

  count = CTL_MAXNAME;
  ASSERT_EQ(sysctlnametomib("kern", mib, &count), 0);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(mib[0], CTL_KERN);

  count = 0;
  ASSERT_EQ(sysctlnametomib("kern.hostname", nullptr, &count), 0);
  EXPECT_EQ(count, 2u) << "a null MIB asks for the entry count";

  int one[2] = {0, -7};
  count = 1;
  EXPECT_EQ(failure(sysctlnametomib("kern.hostname", one, &count)), ENOMEM);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(one[0], CTL_KERN);
  EXPECT_EQ(one[1], -7);

  count = SIZE_MAX;
  EXPECT_EQ(sysctlnametomib("hw.memsize", mib, &count), 0) << "a huge capacity is not a fault";

  for (const char* unknown : {"", "hw.nosuch", "HW.MODEL", "hw.model ", "hw.", "kern.ostype.x"}) {
    count = CTL_MAXNAME;
    EXPECT_EQ(failure(sysctlnametomib(unknown, mib, &count)), ENOENT) << '"' << unknown << '"';
  }
  count = CTL_MAXNAME;
  EXPECT_EQ(failure(sysctlnametomib(nullptr, mib, &count)), EFAULT);
  EXPECT_EQ(failure(sysctlnametomib("hw.model", mib, nullptr)), EFAULT);
}

TEST_F(KernelSysctl, NamesAndMIBsReachTheSameVariables) {
  struct {
    const char* name;
    std::vector<int> mib;
  } const variables[] = {
      {"kern.ostype", {CTL_KERN, KERN_OSTYPE}},     {"kern.osrelease", {CTL_KERN, KERN_OSRELEASE}},
      {"kern.osrevision", {CTL_KERN, KERN_OSREV}},  {"kern.version", {CTL_KERN, KERN_VERSION}},
      {"kern.hostname", {CTL_KERN, KERN_HOSTNAME}}, {"kern.osversion", {CTL_KERN, KERN_OSVERSION}},
      {"hw.machine", {CTL_HW, HW_MACHINE}},         {"hw.model", {CTL_HW, HW_MODEL}},
      {"hw.cpufrequency", {CTL_HW, HW_CPU_FREQ}},   {"hw.memsize", {CTL_HW, HW_MEMSIZE}},
      {"hw.activecpu", {CTL_HW, HW_AVAILCPU}},
  };
  // Every variable exists in this profile, so every name resolves.
  ScopedProfile profile(R"({"sysctl": {
      "kern.osrevision": {"int32": 199506}, "kern.osversion": {"string": "23F79"},
      "hw.model": {"string": "Mac14,13"}, "hw.cpufrequency": {"int64": 3200000000}}})");
  const std::vector<int> expected[] = {{1, 1}, {1, 2}, {1, 3},  {1, 4},  {1, 10}, {1, 65},
                                       {6, 1}, {6, 2}, {6, 15}, {6, 24}, {6, 25}};
  size_t index = 0;
  for (const auto& variable : variables) {
    EXPECT_EQ(variable.mib, expected[index++]) << variable.name;
    int mib[CTL_MAXNAME] = {};
    size_t count = CTL_MAXNAME;
    ASSERT_EQ(sysctlnametomib(variable.name, mib, &count), 0) << variable.name;
    EXPECT_EQ(std::vector<int>(mib, mib + count), variable.mib) << variable.name;
  }
}

TEST_F(KernelSysctl, TheBareMachineIsTheLinuxOneUnderneath) {
  utsname names{};
  ASSERT_EQ(uname(&names), 0);
  char host[HOST_NAME_MAX + 1] = {};
  ASSERT_EQ(gethostname(host, sizeof(host)), 0);
  EXPECT_EQ(readText({CTL_HW, HW_MACHINE}), names.machine);
  EXPECT_EQ(readText({CTL_KERN, KERN_OSTYPE}), names.sysname);
  EXPECT_EQ(readText({CTL_KERN, KERN_OSRELEASE}), names.release);
  EXPECT_EQ(readText({CTL_KERN, KERN_VERSION}), names.version);
  EXPECT_EQ(readText({CTL_KERN, KERN_HOSTNAME}), host);
  EXPECT_EQ(readValue<int32_t>({CTL_HW, HW_AVAILCPU}), device_info_test::onlineProcessors());
  EXPECT_EQ(readValue<uint64_t>({CTL_HW, HW_MEMSIZE}), device_info_test::physicalMemory());
}

TEST_F(KernelSysctl, CPUFrequencyExistsOnlyWithAFrequencyDriver) {
  const auto kilohertz =
      device_info_test::firstLineOf("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq");
  int mib[CTL_MAXNAME] = {};
  size_t count = CTL_MAXNAME;
  if (kilohertz) {
    ASSERT_EQ(sysctlnametomib("hw.cpufrequency", mib, &count), 0);
    EXPECT_EQ(readValue<int64_t>({CTL_HW, HW_CPU_FREQ}), std::stoll(*kilohertz) * 1000);
  } else {
    EXPECT_EQ(failure(sysctlnametomib("hw.cpufrequency", mib, &count)), ENOENT);
    int byMIB[] = {CTL_HW, HW_CPU_FREQ};
    size_t size = 0;
    EXPECT_EQ(failure(sysctl(byMIB, 2, nullptr, &size, nullptr, 0)), ENOENT);
  }
}

TEST_F(KernelSysctl, AProfileOverridesWhatItNamesAndLeavesTheRestToLinux) {
  ScopedProfile profile(R"({"sysctl": {
      "hw.model": {"string": "Mac14,13"},
      "hw.memsize": {"uint64": 18446744073709551614},
      "hw.activecpu": {"int32": 12},
      "kern.version": {"hex": "ff fe 41 00"},
      "hw.cpufrequency": {"error": "ENOENT"},
      "kern.hostname": {"error": "EIO"}}})");
  EXPECT_EQ(readText({CTL_HW, HW_MODEL}), "Mac14,13");
  EXPECT_EQ(readValue<uint64_t>({CTL_HW, HW_MEMSIZE}), 18446744073709551614u);
  EXPECT_EQ(readValue<int32_t>({CTL_HW, HW_AVAILCPU}), 12);
  EXPECT_EQ(readAll({CTL_KERN, KERN_VERSION}), (std::vector<uint8_t>{0xff, 0xfe, 0x41, 0x00}));

  int mib[CTL_MAXNAME] = {};
  size_t count = CTL_MAXNAME;
  EXPECT_EQ(failure(sysctlnametomib("hw.cpufrequency", mib, &count)), ENOENT);
  // A variable that exists but cannot be read keeps its name.
  count = CTL_MAXNAME;
  EXPECT_EQ(sysctlnametomib("kern.hostname", mib, &count), 0);
  size_t size = 0;
  EXPECT_EQ(failure(sysctl(mib, 2, nullptr, &size, nullptr, 0)), EIO);

  utsname names{};
  ASSERT_EQ(uname(&names), 0);
  EXPECT_EQ(readText({CTL_HW, HW_MACHINE}), names.machine);
}

TEST_F(KernelSysctl, TheOSBuildComesFromTheEmulatedVersionTextOrIsAbsent) {
  int mib[] = {CTL_KERN, KERN_OSVERSION};
  size_t size = 0;
  platform::setEmulatedOperatingSystemVersionForTesting(NSOperatingSystemVersion{13, 6, 7},
                                                        "Version 13.6.7 (Build 22G720)");
  EXPECT_EQ(readText({CTL_KERN, KERN_OSVERSION}), "22G720");
  platform::setEmulatedOperatingSystemVersionForTesting(NSOperatingSystemVersion{13, 6, 7});
  EXPECT_EQ(failure(sysctl(mib, 2, nullptr, &size, nullptr, 0)), ENOENT) << "Version 13.6.7";
  platform::setEmulatedOperatingSystemVersionForTesting(std::nullopt);
  {
    ScopedProfile profile(
        R"json({"operatingSystemVersionString": "Version 14.5 (Build 23F79)"})json");
    EXPECT_EQ(readText({CTL_KERN, KERN_OSVERSION}), "23F79");
  }
  {
    ScopedProfile profile(R"({"operatingSystemVersionString": "Version 14.5",
                              "sysctl": {"kern.osrevision": {"int32": 199506}}})");
    EXPECT_EQ(failure(sysctl(mib, 2, nullptr, &size, nullptr, 0)), ENOENT);
    EXPECT_EQ(readValue<int32_t>({CTL_KERN, KERN_OSREV}), 199506);
  }
}

TEST_F(KernelSysctl, AnInjectedKernelAnswersEveryReadUntilRemoved) {
  std::vector<std::string> asked;
  {
    ScopedKernelForTesting kernel([&asked](std::string_view name) {
      asked.emplace_back(name);
      return name == "hw.model" ? KernelVariable::text("Injected") : KernelVariable::failing(4242);
    });
    EXPECT_EQ(readText({CTL_HW, HW_MODEL}), "Injected");
    int mib[] = {CTL_HW, HW_MEMSIZE};
    size_t size = 0;
    EXPECT_EQ(failure(sysctl(mib, 2, nullptr, &size, nullptr, 0)), 4242);
  }
  EXPECT_EQ(asked, (std::vector<std::string>{"hw.model", "hw.model", "hw.memsize"}));
  EXPECT_EQ(readValue<uint64_t>({CTL_HW, HW_MEMSIZE}), device_info_test::physicalMemory());
}

TEST(KernelErrors, OnlyCodesTheSystemDefinesArePOSIXErrorCodes) {
  for (int code : {EPERM, ENOENT, ENOMEM, EINVAL, EIO}) EXPECT_TRUE(isPOSIXErrorCode(code));
  for (int code : {0, -1, 4242, INT_MAX}) EXPECT_FALSE(isPOSIXErrorCode(code)) << code;
}

}  // namespace

TEST(LinuxCpuFrequency, KilohertzBecomeHertzAndOutOfRangeIsAFailedRead) {
  using platform::kernel::cpuFrequencyFromKilohertz;
  const auto hertz = [](const std::string& line) {
    const auto variable = cpuFrequencyFromKilohertz(line);
    int64_t value = 0;
    if (variable && variable->error == 0) std::memcpy(&value, variable->bytes.data(), sizeof value);
    return value;
  };
  EXPECT_EQ(hertz("3200000"), 3200000000);
  EXPECT_EQ(hertz("0003200000"), 3200000000);
  EXPECT_EQ(hertz("9223372036854775"), 9223372036854775000);  // the largest that fits
  for (const char* line : {"9223372036854776", "99999999999999999", "9223372036854775807",
                           "184467440737095516150", "99999999999999999999999999"}) {
    const auto variable = cpuFrequencyFromKilohertz(line);
    ASSERT_TRUE(variable) << line;
    EXPECT_EQ(variable->error, ERANGE) << line;
  }
  for (const char* line : {"", "0", "-5", "+5", "12 kHz", "1.5"})
    EXPECT_FALSE(cpuFrequencyFromKilohertz(line)) << line;
}
