// The kernel variable accessor, through an injected kernel and on the real machine.

#include "device_info_plus/Sources/device_info_plus/Sysctl.h"

#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <cerrno>
#include <map>
#include <string>

#include "platform/kernel/KernelVariables.h"
#include "tests/device_info/MachineTestSupport.h"

namespace {

using platform::kernel::KernelVariable;
using platform::kernel::ScopedKernelForTesting;
using Error = Sysctl::Error;

// A kernel with the given variables; every other one does not exist.
ScopedKernelForTesting kernelWith(std::map<std::string, KernelVariable, std::less<>> variables) {
  return ScopedKernelForTesting([variables = std::move(variables)](std::string_view name) {
    const auto found = variables.find(name);
    return found == variables.end() ? KernelVariable::failing(ENOENT) : found->second;
  });
}

template <typename Read>
Error errorOf(Read read) {
  try {
    read();
  } catch (const Error& error) {
    return error;
  }
  ADD_FAILURE() << "no error thrown";
  return Error::unknown();
}

KernelVariable bytes(std::initializer_list<uint8_t> list) { return KernelVariable::raw(list); }

TEST(SysctlErrors, AFailedCallThrowsItsPOSIXErrorOrUnknown) {
  auto kernel = kernelWith({{"hw.model", KernelVariable::failing(EPERM)},
                            {"kern.version", KernelVariable::failing(4242)}});
  EXPECT_EQ(errorOf([] { Sysctl::data({6, 2}); }), Error::posixError(EPERM));
  EXPECT_EQ(errorOf([] { Sysctl::data({6, 2}); }).code(), EPERM);
  EXPECT_EQ(errorOf([] { Sysctl::data({6, 99}); }), Error::posixError(ENOENT));
  EXPECT_EQ(errorOf([] { Sysctl::data({6}); }), Error::posixError(EINVAL));
  EXPECT_EQ(errorOf([] { Sysctl::data({1, 4}); }), Error::unknown()) << "4242 is no POSIX code";
  EXPECT_EQ(errorOf([] { Sysctl::string(1, 4); }).errorCase(), Error::Case::unknown);
}

TEST(SysctlErrors, AnUnknownNameThrowsThePOSIXErrorTheKernelReports) {
  auto kernel = kernelWith({});
  EXPECT_EQ(errorOf([] { Sysctl::keys("hw.nosuch"); }), Error::posixError(ENOENT));
  EXPECT_EQ(errorOf([] { Sysctl::keys("hw.cpufrequency"); }), Error::posixError(ENOENT))
      << "a variable the machine lacks has no name";
  EXPECT_EQ(errorOf([] { Sysctl::value<int64_t>("hw.cpufrequency"); }), Error::posixError(ENOENT));
  EXPECT_EQ(errorOf([] { Sysctl::string("kern.nosuch"); }), Error::posixError(ENOENT));
}

TEST(SysctlErrors, AFixedSizeReadOfAnotherSizeThrowsInvalidSize) {
  auto kernel = kernelWith({{"hw.activecpu", KernelVariable::of<int32_t>(8)},
                            {"hw.memsize", KernelVariable::of<uint64_t>(1u << 30)},
                            {"hw.model", KernelVariable::text("Mac14,13")},
                            {"kern.osrevision", bytes({})}});
  EXPECT_EQ(errorOf([] { Sysctl::value<int64_t>(6, 25); }), Error::invalidSize());
  EXPECT_EQ(errorOf([] { Sysctl::value<int32_t>(6, 24); }), Error::invalidSize());
  EXPECT_EQ(errorOf([] { Sysctl::value<uint64_t>(6, 2); }), Error::invalidSize());
  EXPECT_EQ(errorOf([] { Sysctl::value<int32_t>(1, 3); }), Error::invalidSize());
  EXPECT_EQ(Sysctl::value<int32_t>(6, 25), 8);
}

TEST(SysctlErrors, TextThatIsNotUTF8ThrowsMalformedUTF8) {
  const std::initializer_list<uint8_t> malformed[] = {
      {0xff, 0xfe, 0x41, 0x00},     // bytes that never occur in UTF-8
      {0x41, 0xc3},                 // a sequence cut short
      {0xc0, 0x80, 0x00},           // an overlong NUL
      {0xe0, 0x80, 0x80, 0x00},     // an overlong three-byte form
      {0xed, 0xa0, 0x80, 0x00},     // a surrogate
      {0xf4, 0x90, 0x80, 0x80, 0},  // above U+10FFFF
      {0x80, 0x00},                 // a continuation byte alone
  };
  for (const auto& text : malformed) {
    auto kernel = kernelWith({{"kern.version", bytes(text)}});
    EXPECT_EQ(errorOf([] { Sysctl::string(1, 4); }), Error::malformedUTF8());
    EXPECT_EQ(Sysctl::version(), "");
  }
}

TEST(SysctlErrors, ErrorsCompareByCaseAndCodeAndDescribeThemselves) {
  EXPECT_NE(Error::posixError(EPERM), Error::posixError(ENOENT));
  EXPECT_NE(Error::unknown(), Error::malformedUTF8());
  EXPECT_EQ(Error::invalidSize().code(), 0);
  EXPECT_STRNE(Error::invalidSize().what(), Error::malformedUTF8().what());
}

TEST(SysctlText, DecodingStopsAtTheFirstNulOrTakesEverythingWithoutOne) {
  auto kernel = kernelWith({{"kern.ostype", bytes({'D', 'a', 0, 0xff, 'x', 0})},
                            {"kern.osrelease", bytes({'2', '3', '.', '5'})},
                            {"kern.hostname", KernelVariable::text("Grüße 日本 🙂")},
                            {"kern.version", bytes({0, 'x', 0})}});
  EXPECT_EQ(Sysctl::string(1, 1), "Da") << "bytes after the NUL are never decoded";
  EXPECT_EQ(Sysctl::string(std::vector<int32_t>{1, 2}), "23.5");
  EXPECT_EQ(Sysctl::string("kern.hostname"), "Grüße 日本 🙂");
  EXPECT_EQ(Sysctl::string(1, 4), "");
}

TEST(SysctlData, AZeroSizeVariableGivesNoBytesAndEmptyText) {
  auto kernel = kernelWith({{"kern.version", bytes({})}});
  EXPECT_TRUE(Sysctl::data({1, 4}).empty());
  EXPECT_EQ(Sysctl::string(1, 4), "");
  EXPECT_EQ(Sysctl::version(), "");
}

TEST(SysctlData, EveryReadIsAFreshTwoCallExchange) {
  int calls = 0;
  ScopedKernelForTesting kernel([&calls](std::string_view) {
    ++calls;
    return KernelVariable::of<int32_t>(calls);
  });
  EXPECT_EQ(Sysctl::data({6, 25}).size(), 4u);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(Sysctl::value<int32_t>(6, 25), 4) << "the value of the second call";
  EXPECT_EQ(Sysctl::activeCPUs(), 6);
  EXPECT_EQ(calls, 6);
}

TEST(SysctlData, TheBufferKeepsTheSizeOfTheFirstCall) {
  // The variable shrinks between the size query and the read.
  int calls = 0;
  ScopedKernelForTesting shrinking([&calls](std::string_view) {
    return ++calls == 1 ? bytes({'l', 'o', 'n', 'g', 'e', 'r', 0}) : bytes({'s', 'h', 0});
  });
  EXPECT_EQ(Sysctl::data({1, 10}), (std::vector<int8_t>{'s', 'h', 0, 0, 0, 0, 0}));
  calls = 0;
  EXPECT_EQ(Sysctl::hostName(), "sh");
}

TEST(SysctlData, AVariableThatGrowsBetweenTheCallsFailsWithENOMEM) {
  int calls = 0;
  ScopedKernelForTesting growing([&calls](std::string_view) {
    return ++calls == 1 ? bytes({'a', 0}) : bytes({'a', 'b', 'c', 0});
  });
  EXPECT_EQ(errorOf([] { Sysctl::data({1, 10}); }), Error::posixError(ENOMEM));
}

TEST(SysctlKeys, ANameResolvesToItsMIBTrimmedToItsDepth) {
  auto kernel = kernelWith({{"hw.cpufrequency", KernelVariable::of<int64_t>(2'400'000'000)}});
  EXPECT_EQ(Sysctl::keys("hw.cpufrequency"), (std::vector<int32_t>{6, 15}));
  EXPECT_EQ(Sysctl::keys("hw"), (std::vector<int32_t>{6}));
  EXPECT_EQ(Sysctl::value<int64_t>("hw.cpufrequency"), 2'400'000'000);
}

TEST(SysctlValues, FixedSizeValuesKeepTheirNativeBytesAndBitPatterns) {
  auto kernel = kernelWith({{"hw.memsize", bytes({0xfe, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff})},
                            {"hw.activecpu", bytes({0x04, 0x03, 0x02, 0x01})}});
  EXPECT_EQ(Sysctl::value<uint64_t>(6, 24), 0xfffffffffffffffeu);
  EXPECT_EQ(Sysctl::value<int64_t>(6, 24), -2);
  EXPECT_EQ(Sysctl::memSize(), 0xfffffffffffffffeu);
  EXPECT_EQ(Sysctl::value<int32_t>(std::vector<int32_t>{6, 25}), 0x01020304);
  EXPECT_EQ(Sysctl::value<int32_t>("hw.activecpu"), 0x01020304);
}

TEST(SysctlProperties, EachPropertyReadsItsOwnVariable) {
  auto kernel = kernelWith({
      {"kern.hostname", KernelVariable::text("studio.local")},
      {"hw.machine", KernelVariable::text("x86_64")},
      {"hw.model", KernelVariable::text("Mac14,13")},
      {"hw.activecpu", KernelVariable::of<int32_t>(12)},
      {"kern.osrelease", KernelVariable::text("23.5.0")},
      {"kern.ostype", KernelVariable::text("Darwin")},
      {"kern.osversion", KernelVariable::text("23F79")},
      {"kern.version", KernelVariable::text("Darwin Kernel Version 23.5.0")},
      {"kern.osrevision", KernelVariable::of<int32_t>(199506)},
      {"hw.cpufrequency", KernelVariable::of<int64_t>(3'200'000'000)},
      {"hw.memsize", KernelVariable::of<uint64_t>(34'359'738'368)},
  });
  EXPECT_EQ(Sysctl::hostName(), "studio.local");
  EXPECT_EQ(Sysctl::machine(), "x86_64");
  EXPECT_EQ(Sysctl::model(), "Mac14,13");
  EXPECT_EQ(Sysctl::activeCPUs(), 12);
  EXPECT_EQ(Sysctl::osRelease(), "23.5.0");
  EXPECT_EQ(Sysctl::osType(), "Darwin");
  EXPECT_EQ(Sysctl::osVersion(), "23F79");
  EXPECT_EQ(Sysctl::version(), "Darwin Kernel Version 23.5.0");
  EXPECT_EQ(Sysctl::osRev(), 199506);
  EXPECT_EQ(Sysctl::cpuFreq(), 3'200'000'000);
  EXPECT_EQ(Sysctl::memSize(), 34'359'738'368u);
}

TEST(SysctlProperties, FailedReadsYieldEmptyTextAndZero) {
  auto failing = kernelWith({});
  for (const auto& text :
       {Sysctl::hostName(), Sysctl::machine(), Sysctl::model(), Sysctl::osRelease(),
        Sysctl::osType(), Sysctl::osVersion(), Sysctl::version()})
    EXPECT_EQ(text, "");
  EXPECT_EQ(Sysctl::activeCPUs(), 0);
  EXPECT_EQ(Sysctl::osRev(), 0);
  EXPECT_EQ(Sysctl::cpuFreq(), 0);
  EXPECT_EQ(Sysctl::memSize(), 0u);

  // Variables of the wrong size.
  auto misfit = kernelWith({{"hw.activecpu", KernelVariable::of<int64_t>(12)},
                            {"hw.cpufrequency", KernelVariable::of<int32_t>(1000)},
                            {"hw.memsize", KernelVariable::of<int32_t>(1)},
                            {"kern.osrevision", KernelVariable::text("1")}});
  EXPECT_EQ(Sysctl::activeCPUs(), 0);
  EXPECT_EQ(Sysctl::cpuFreq(), 0);
  EXPECT_EQ(Sysctl::memSize(), 0u);
  EXPECT_EQ(Sysctl::osRev(), 0);
}

TEST(SysctlOnTheRealMachine, PropertiesMatchWhatLinuxReports) {
  device_info_test::ScopedProfile bare;
  utsname names{};
  ASSERT_EQ(uname(&names), 0);
  EXPECT_EQ(Sysctl::activeCPUs(), device_info_test::onlineProcessors());
  EXPECT_EQ(Sysctl::machine(), names.machine);
  EXPECT_EQ(Sysctl::memSize(), device_info_test::physicalMemory());
  EXPECT_EQ(Sysctl::osType(), names.sysname);
  EXPECT_EQ(Sysctl::osRelease(), names.release);
  EXPECT_EQ(Sysctl::hostName(), names.nodename);
}

}  // namespace
