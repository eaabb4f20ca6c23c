#include "device_info_plus/Sources/device_info_plus/Sysctl.h"

#include <cerrno>
#include <string>

#include "platform/kernel/sysctl.h"
#include "platform/text/Utf8Text.h"

namespace {

// The kernel's variable identifiers. The using-declarations bring the kernel's
// functions into each calling scope, where they hide any C library declaration.
using platform::kernel::CTL_HW;
using platform::kernel::CTL_KERN;
using platform::kernel::CTL_MAXNAME;
using platform::kernel::HW_AVAILCPU;
using platform::kernel::HW_MACHINE;
using platform::kernel::HW_MEMSIZE;
using platform::kernel::HW_MODEL;
using platform::kernel::KERN_HOSTNAME;
using platform::kernel::KERN_OSRELEASE;
using platform::kernel::KERN_OSREV;
using platform::kernel::KERN_OSTYPE;
using platform::kernel::KERN_OSVERSION;
using platform::kernel::KERN_VERSION;

// The error for the errno a failed call left.
[[noreturn]] void throwErrno() {
  const int code = errno;
  if (platform::kernel::isPOSIXErrorCode(code)) throw Sysctl::Error::posixError(code);
  throw Sysctl::Error::unknown();
}

// Runs a property's read; any Sysctl error yields the property's default.
template <typename T, typename Read>
T orDefault(Read read) {
  try {
    return read();
  } catch (const Sysctl::Error&) {
    return T{};
  }
}

}  // namespace

const char* Sysctl::Error::what() const noexcept {
  switch (case_) {
    case Case::posixError:
      return "sysctl failed with a POSIX error";
    case Case::unknown:
      return "sysctl failed with an unknown error";
    case Case::malformedUTF8:
      return "sysctl text is not valid UTF-8";
    case Case::invalidSize:
      return "sysctl value has an unexpected size";
  }
  return "sysctl error";
}

std::vector<int8_t> Sysctl::data(const std::vector<int32_t>& keys) {
  using platform::kernel::sysctl;
  const auto count = static_cast<unsigned int>(keys.size());
  size_t size = 0;
  if (sysctl(keys.data(), count, nullptr, &size, nullptr, 0) != 0) throwErrno();
  std::vector<int8_t> bytes(size, 0);
  // The length the second call writes back is not applied: the buffer keeps the size the
  // first call reported.
  if (sysctl(keys.data(), count, bytes.data(), &size, nullptr, 0) != 0) throwErrno();
  return bytes;
}

std::vector<int32_t> Sysctl::keys(std::string_view name) {
  using platform::kernel::sysctlnametomib;
  std::vector<int32_t> mib(CTL_MAXNAME, 0);
  size_t count = mib.size();
  if (sysctlnametomib(std::string(name).c_str(), mib.data(), &count) != 0) throwErrno();
  if (count < mib.size()) mib.resize(count);
  return mib;
}

std::string Sysctl::string(const std::vector<int32_t>& keys) {
  const std::vector<int8_t> bytes = data(keys);
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  text = text.substr(0, text.find('\0'));
  if (!isWellFormedUtf8(text)) throw Error::malformedUTF8();
  return std::string(text);
}

std::string Sysctl::string(std::string_view name) { return string(keys(name)); }

std::string Sysctl::hostName() {
  return orDefault<std::string>([] { return string(CTL_KERN, KERN_HOSTNAME); });
}
std::string Sysctl::machine() {
  return orDefault<std::string>([] { return string(CTL_HW, HW_MACHINE); });
}
std::string Sysctl::model() {
  return orDefault<std::string>([] { return string(CTL_HW, HW_MODEL); });
}
int32_t Sysctl::activeCPUs() {
  return orDefault<int32_t>([] { return value<int32_t>(CTL_HW, HW_AVAILCPU); });
}
std::string Sysctl::osRelease() {
  return orDefault<std::string>([] { return string(CTL_KERN, KERN_OSRELEASE); });
}
std::string Sysctl::osType() {
  return orDefault<std::string>([] { return string(CTL_KERN, KERN_OSTYPE); });
}
std::string Sysctl::osVersion() {
  return orDefault<std::string>([] { return string(CTL_KERN, KERN_OSVERSION); });
}
std::string Sysctl::version() {
  return orDefault<std::string>([] { return string(CTL_KERN, KERN_VERSION); });
}
int32_t Sysctl::osRev() {
  return orDefault<int32_t>([] { return value<int32_t>(CTL_KERN, KERN_OSREV); });
}
int64_t Sysctl::cpuFreq() {
  return orDefault<int64_t>([] { return value<int64_t>("hw.cpufrequency"); });
}
uint64_t Sysctl::memSize() {
  return orDefault<uint64_t>([] { return value<uint64_t>(CTL_HW, HW_MEMSIZE); });
}
