#pragma once

// Reads kernel variables through the kernel's sysctl interface. A variable is addressed
// by its MIB, a list of signed 32-bit integers, or by its dotted name.
//
// The operations throw Sysctl::Error. The properties (hostName(), memSize(), ...) read
// their variable afresh on every call and never throw: a failed read yields "" or 0.

#include <concepts>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class Sysctl {
 public:
  Sysctl() = delete;

  class Error : public std::exception {
   public:
    enum class Case { posixError, unknown, malformedUTF8, invalidSize };

    // A call failed with `code`, one of the system's POSIX error codes.
    static Error posixError(int32_t code) { return Error(Case::posixError, code); }
    // A call failed with an errno that is not a POSIX error code, or a value had no
    // storage.
    static Error unknown() { return Error(Case::unknown, 0); }
    // A text variable's bytes are not UTF-8.
    static Error malformedUTF8() { return Error(Case::malformedUTF8, 0); }
    // A fixed-size variable's byte count differs from the size of the requested type.
    static Error invalidSize() { return Error(Case::invalidSize, 0); }

    Case errorCase() const { return case_; }
    // The POSIX error code of a posixError; 0 for the other cases.
    int32_t code() const { return code_; }
    const char* what() const noexcept override;
    bool operator==(const Error& other) const {
      return case_ == other.case_ && code_ == other.code_;
    }

   private:
    Error(Case errorCase, int32_t code) : case_(errorCase), code_(code) {}
    Case case_;
    int32_t code_;
  };

  // data(for:): the variable's raw bytes.
  static std::vector<int8_t> data(const std::vector<int32_t>& keys);

  // keys(for:): the MIB for a dotted name.
  static std::vector<int32_t> keys(std::string_view name);

  // value(ofType:forKeys:): one fixed-size value in the machine's native byte order. An
  // unsigned type receives the bit pattern unchanged.
  template <typename T>
  requires std::is_trivially_copyable_v<T>
  static T value(const std::vector<int32_t>& keys) {
    const std::vector<int8_t> bytes = data(keys);
    if (bytes.size() != sizeof(T)) throw Error::invalidSize();
    if (bytes.data() == nullptr) throw Error::unknown();
    T result;
    std::memcpy(&result, bytes.data(), sizeof(T));
    return result;
  }
  template <typename T, std::integral... Keys>
  requires std::is_trivially_copyable_v<T>
  static T value(int32_t first, Keys... rest) {
    return value<T>(std::vector<int32_t>{first, static_cast<int32_t>(rest)...});
  }
  // value(ofType:forName:): resolves the name, then reads as above.
  template <typename T>
  requires std::is_trivially_copyable_v<T>
  static T value(std::string_view name) { return value<T>(keys(name)); }

  // string(for:): a text variable, decoded as UTF-8 up to its first NUL.
  static std::string string(const std::vector<int32_t>& keys);
  template <std::integral... Keys>
  static std::string string(int32_t first, Keys... rest) {
    return string(std::vector<int32_t>{first, static_cast<int32_t>(rest)...});
  }
  static std::string string(std::string_view name);

  // The properties.
  static std::string hostName();   // kern.hostname
  static std::string machine();    // hw.machine
  static std::string model();      // hw.model
  static int32_t activeCPUs();     // hw.activecpu
  static std::string osRelease();  // kern.osrelease
  static std::string osType();     // kern.ostype
  static std::string osVersion();  // kern.osversion
  static std::string version();    // kern.version
  static int32_t osRev();          // kern.osrevision
  static int64_t cpuFreq();        // hw.cpufrequency, resolved by name at every read
  static uint64_t memSize();       // hw.memsize
};
