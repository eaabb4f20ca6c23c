// The kernel variables as the Linux machine underneath answers them.

#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <fstream>
#include <limits>
#include <optional>
#include <string>

#include "platform/kernel/KernelVariables.h"

namespace platform::kernel {
namespace {

// The first line of a small system file, without its line end.
std::optional<std::string> readLine(const char* path) {
  std::ifstream file(path);
  if (!file) return std::nullopt;
  std::string line;
  if (!std::getline(file, line)) return std::nullopt;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
    line.pop_back();
  return line;
}

KernelVariable textFrom(const char* path) {
  const auto line = readLine(path);
  return line ? KernelVariable::text(*line) : KernelVariable::failing(ENOENT);
}

// The machine's model: the DMI product name, where the firmware gives one.
KernelVariable model() {
  const auto name = readLine("/sys/class/dmi/id/product_name");
  if (!name || name->empty()) return KernelVariable::failing(ENOENT);
  return KernelVariable::text(*name);
}

KernelVariable machine() {
  utsname names{};
  if (uname(&names) != 0) return KernelVariable::failing(errno);
  return KernelVariable::text(names.machine);
}

KernelVariable activeCPUs() {
  const long online = sysconf(_SC_NPROCESSORS_ONLN);
  if (online < 1) return KernelVariable::failing(EIO);
  return KernelVariable::of<int32_t>(static_cast<int32_t>(online));
}

KernelVariable memorySize() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages < 1 || pageSize < 1) return KernelVariable::failing(EIO);
  return KernelVariable::of<uint64_t>(static_cast<uint64_t>(pages) *
                                      static_cast<uint64_t>(pageSize));
}

// The processor's nominal frequency in Hz; cpufreq reports kHz. Without a frequency
// driver the variable does not exist.
KernelVariable cpuFrequency() {
  for (const char* path : {"/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq",
                           "/sys/devices/system/cpu/cpu0/cpufreq/scaling_max_freq"}) {
    const auto line = readLine(path);
    if (!line) continue;
    if (auto frequency = cpuFrequencyFromKilohertz(*line)) return *frequency;
  }
  return KernelVariable::failing(ENOENT);
}

}  // namespace

std::optional<KernelVariable> cpuFrequencyFromKilohertz(const std::string& line) {
  if (line.empty() || line.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  constexpr int64_t kMaximumKilohertz = std::numeric_limits<int64_t>::max() / 1000;
  const auto significant = line.find_first_not_of('0');
  if (significant == std::string::npos) return std::nullopt;  // zero: no frequency
  // More digits than any representable number has, or a value whose hertz overflow.
  if (line.size() - significant > 19) return KernelVariable::failing(ERANGE);
  const uint64_t kilohertz = std::stoull(line.substr(significant));
  if (kilohertz > static_cast<uint64_t>(kMaximumKilohertz)) return KernelVariable::failing(ERANGE);
  return KernelVariable::of<int64_t>(static_cast<int64_t>(kilohertz) * 1000);
}

KernelVariable readLinuxVariable(std::string_view name) {
  if (name == "kern.ostype") return textFrom("/proc/sys/kernel/ostype");
  if (name == "kern.osrelease") return textFrom("/proc/sys/kernel/osrelease");
  if (name == "kern.version") return textFrom("/proc/sys/kernel/version");
  if (name == "kern.hostname") return textFrom("/proc/sys/kernel/hostname");
  if (name == "hw.machine") return machine();
  if (name == "hw.model") return model();
  if (name == "hw.activecpu") return activeCPUs();
  if (name == "hw.memsize") return memorySize();
  if (name == "hw.cpufrequency") return cpuFrequency();
  // kern.osrevision has no Linux counterpart (a machine profile may give it); the OS
  // build (kern.osversion) belongs to the emulated system, not to Linux.
  return KernelVariable::failing(ENOENT);
}

}  // namespace platform::kernel
