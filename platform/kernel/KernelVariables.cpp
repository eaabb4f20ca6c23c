#include "platform/kernel/KernelVariables.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>

#include "platform/Foundation/NSProcessInfo.h"
#include "platform/kernel/sysctl.h"
#include "platform/machine/MachineProfile.h"

namespace platform::kernel {
namespace {

struct InjectedKernel {
  std::mutex mutex;
  std::shared_ptr<const KernelForTesting> kernel;
};

InjectedKernel& injectedKernel() {
  static InjectedKernel state;
  return state;
}

// The OS build inside a version text such as "Version 14.5 (Build 23F79)".
std::optional<std::string> buildOf(const std::string& versionText) {
  static constexpr std::string_view kBuild = "(Build ";
  const auto start = versionText.find(kBuild);
  if (start == std::string::npos) return std::nullopt;
  const auto from = start + kBuild.size();
  const auto end = versionText.find(')', from);
  if (end == std::string::npos || end == from) return std::nullopt;
  return versionText.substr(from, end - from);
}

}  // namespace

KernelVariable KernelVariable::text(std::string_view value) {
  KernelVariable variable;
  variable.bytes.assign(value.begin(), value.end());
  variable.bytes.push_back(0);
  return variable;
}

KernelVariable KernelVariable::raw(std::vector<uint8_t> bytes) {
  KernelVariable variable;
  variable.bytes = std::move(bytes);
  return variable;
}

KernelVariable KernelVariable::failing(int error) {
  KernelVariable variable;
  variable.error = error;
  return variable;
}

std::span<const KernelName> kernelNames() {
  static const KernelName kNames[] = {
      {"kern", {CTL_KERN}},
      {"kern.ostype", {CTL_KERN, KERN_OSTYPE}},
      {"kern.osrelease", {CTL_KERN, KERN_OSRELEASE}},
      {"kern.osrevision", {CTL_KERN, KERN_OSREV}},
      {"kern.version", {CTL_KERN, KERN_VERSION}},
      {"kern.hostname", {CTL_KERN, KERN_HOSTNAME}},
      {"kern.osversion", {CTL_KERN, KERN_OSVERSION}},
      {"hw", {CTL_HW}},
      {"hw.machine", {CTL_HW, HW_MACHINE}},
      {"hw.model", {CTL_HW, HW_MODEL}},
      {"hw.cpufrequency", {CTL_HW, HW_CPU_FREQ}},
      {"hw.memsize", {CTL_HW, HW_MEMSIZE}},
      {"hw.activecpu", {CTL_HW, HW_AVAILCPU}},
  };
  return kNames;
}

std::optional<std::string_view> nameForMIB(std::span<const int> mib) {
  for (const auto& entry : kernelNames())
    if (std::ranges::equal(entry.mib, mib)) return entry.name;
  return std::nullopt;
}

const KernelName* findKernelName(std::string_view name) {
  for (const auto& entry : kernelNames())
    if (entry.name == name) return &entry;
  return nullptr;
}

KernelVariable readMachineVariable(std::string_view name) {
  const MachineProfile* profile = nullptr;
  try {
    profile = &MachineProfile::current();
  } catch (const MachineProfileError&) {
    // A profile that cannot be read describes no machine; start-up reports it.
    return KernelVariable::failing(EIO);
  }
  const auto entry = profile->sysctl.find(std::string(name));
  if (entry != profile->sysctl.end()) {
    KernelVariable variable;
    variable.bytes = entry->second.bytes;
    variable.error = entry->second.error;
    return variable;
  }
  // The emulated system's build, when its version text carries one.
  if (name == "kern.osversion") {
    const auto build = buildOf(NSProcessInfo::processInfo()->operatingSystemVersionString());
    return build ? KernelVariable::text(*build) : KernelVariable::failing(ENOENT);
  }
  return readLinuxVariable(name);
}

KernelVariable readKernelVariable(std::string_view name) {
  std::shared_ptr<const KernelForTesting> kernel;
  {
    auto& state = injectedKernel();
    std::lock_guard lock(state.mutex);
    kernel = state.kernel;
  }
  return kernel ? (*kernel)(name) : readMachineVariable(name);
}

void setKernelForTesting(KernelForTesting kernel) {
  auto& state = injectedKernel();
  std::lock_guard lock(state.mutex);
  state.kernel = kernel ? std::make_shared<const KernelForTesting>(std::move(kernel)) : nullptr;
}

}  // namespace platform::kernel
