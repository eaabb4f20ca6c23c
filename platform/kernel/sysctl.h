#pragma once

// The kernel's variable interface: `sysctl` and `sysctlnametomib`, with the platform's
// calling convention and errno behaviour.
//
// Everything here lives in namespace platform::kernel so that it can never collide with
// whatever the C library of the machine declares (or once declared) under the same
// names. Host code brings the two functions into the scope that calls them with
// using-declarations, which also hide any global declaration:
//
//   using platform::kernel::sysctl;
//   using platform::kernel::CTL_HW;
//   sysctl(mib, 2, nullptr, &size, nullptr, 0);

#include <cstddef>

namespace platform::kernel {

// The deepest MIB the kernel resolves.
inline constexpr int CTL_MAXNAME = 12;

// Top-level identifiers.
inline constexpr int CTL_KERN = 1;  // "kern": the kernel
inline constexpr int CTL_HW = 6;    // "hw": the hardware

// Second-level identifiers below CTL_KERN.
inline constexpr int KERN_OSTYPE = 1;      // "kern.ostype": text
inline constexpr int KERN_OSRELEASE = 2;   // "kern.osrelease": text
inline constexpr int KERN_OSREV = 3;       // "kern.osrevision": 32-bit integer
inline constexpr int KERN_VERSION = 4;     // "kern.version": text
inline constexpr int KERN_HOSTNAME = 10;   // "kern.hostname": text
inline constexpr int KERN_OSVERSION = 65;  // "kern.osversion": text (the OS build)

// Second-level identifiers below CTL_HW.
inline constexpr int HW_MACHINE = 1;    // "hw.machine": text
inline constexpr int HW_MODEL = 2;      // "hw.model": text
inline constexpr int HW_CPU_FREQ = 15;  // "hw.cpufrequency": 64-bit integer, Hz
inline constexpr int HW_MEMSIZE = 24;   // "hw.memsize": unsigned 64-bit integer, bytes
inline constexpr int HW_AVAILCPU = 25;  // "hw.activecpu": 32-bit integer

// Reads (and would write) the kernel variable named by the MIB `name` of `namelen`
// entries. Returns 0 on success; -1 with errno set on failure:
// - `oldp` null: stores the variable's size in bytes in `*oldlenp` (a size query).
// - `oldp` given: copies the value into the `*oldlenp` bytes at `oldp` and stores the
//   byte count in `*oldlenp`. A buffer that is too small receives its first `*oldlenp`
//   bytes, `*oldlenp` is left as the count copied, and the call fails with ENOMEM.
// - `oldlenp` null counts as a buffer of 0 bytes, and nothing is written back.
// - EINVAL: `namelen` below 2 or above CTL_MAXNAME. EFAULT: `name` null.
// - ENOENT: no such variable. EPERM: a new value given (`newp` not null); every
//   variable here is read-only.
// - Any errno the variable's source fails with (a machine profile may name one).
int sysctl(const int* name, unsigned int namelen, void* oldp, size_t* oldlenp, const void* newp,
           size_t newlen);

// Resolves a dotted variable name ("hw.model", or a node such as "hw") to its MIB.
// `*sizep` holds the capacity of `mibp` in entries on entry and the number of entries
// of the MIB on return. Returns 0 on success; -1 with errno set on failure:
// - `mibp` null: only stores the MIB's entry count in `*sizep`.
// - ENOMEM: the MIB is longer than `*sizep`; the first `*sizep` entries are stored.
// - ENOENT: no variable of that name (this includes a variable that does not exist on
//   this machine, such as "hw.cpufrequency" without a frequency driver).
// - EFAULT: `name` or `sizep` null.
int sysctlnametomib(const char* name, int* mibp, size_t* sizep);

// True when `code` is one of the POSIX error codes this system defines.
bool isPOSIXErrorCode(int code);

}  // namespace platform::kernel
