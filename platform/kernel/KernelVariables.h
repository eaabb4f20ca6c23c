#pragma once

// Where the kernel stand-in takes the values of its variables from, and the test seam
// that replaces that source.

#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform::kernel {

// One kernel variable as a read sees it: its bytes, or the errno the read fails with.
// A variable that does not exist on the machine fails with ENOENT, and its name does
// not resolve either.
struct KernelVariable {
  std::vector<uint8_t> bytes;
  int error = 0;  // non-zero: reads fail with this errno

  // A text variable: its UTF-8 bytes and the terminating NUL.
  static KernelVariable text(std::string_view value);
  // A fixed-size variable: the value's bytes in the machine's native order.
  template <typename T>
  static KernelVariable of(T value) {
    KernelVariable variable;
    variable.bytes.resize(sizeof(T));
    std::memcpy(variable.bytes.data(), &value, sizeof(T));
    return variable;
  }
  static KernelVariable raw(std::vector<uint8_t> bytes);
  static KernelVariable failing(int error);
};

// One variable the kernel knows: its dotted name and its MIB.
struct KernelName {
  std::string_view name;
  std::vector<int> mib;
};

// Every variable and node name the kernel stand-in resolves.
std::span<const KernelName> kernelNames();
// The name for a MIB, if the kernel knows it.
std::optional<std::string_view> nameForMIB(std::span<const int> mib);
// The entry for a name, if the kernel knows it.
const KernelName* findKernelName(std::string_view name);

// The variable as this machine has it: the machine profile's entry when it names one,
// otherwise what Linux says.
KernelVariable readMachineVariable(std::string_view name);
// The variable as Linux alone says it (ignoring any machine profile).
KernelVariable readLinuxVariable(std::string_view name);
// "hw.cpufrequency" in Hz from a cpufreq line in kHz: nothing when the line is not a
// positive decimal number; a read failing with ERANGE when the hertz do not fit 64 bits.
std::optional<KernelVariable> cpuFrequencyFromKilohertz(const std::string& line);

// The source every read goes through: readMachineVariable, unless a test has injected
// another one.
KernelVariable readKernelVariable(std::string_view name);

// Test seam: answers every read of the kernel stand-in with `kernel` (called at most once
// per `sysctl` or `sysctlnametomib` call, with the variable's dotted name; resolving a
// name asks whether the variable exists). An empty function restores the machine.
// Thread-safe.
using KernelForTesting = std::function<KernelVariable(std::string_view name)>;
void setKernelForTesting(KernelForTesting kernel);

// Injects a kernel for the lifetime of the object, then restores the machine.
class ScopedKernelForTesting {
 public:
  explicit ScopedKernelForTesting(KernelForTesting kernel) {
    setKernelForTesting(std::move(kernel));
  }
  ~ScopedKernelForTesting() { setKernelForTesting(nullptr); }
  ScopedKernelForTesting(const ScopedKernelForTesting&) = delete;
  ScopedKernelForTesting& operator=(const ScopedKernelForTesting&) = delete;
};

}  // namespace platform::kernel
