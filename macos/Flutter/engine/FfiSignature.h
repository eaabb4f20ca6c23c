#pragma once

#include <optional>
#include <string>
#include <vector>

// The C types an exported function may take and return through an FFI frame.
enum class FfiType {
  voidType,  // return only
  int32,     // int32_t
  utf8ptr,   // return only: char*, owned by the caller afterwards
  utf8,      // parameter only: const char*, the caller's buffer for the call
  outint32,  // parameter only: int32_t*, a slot the function may write
  ptr,       // parameter only: void*, an address the peer holds
};

// A signature written `RET(P1,P2,...)`, with no spaces.
struct FfiSignature {
  FfiType result = FfiType::voidType;
  std::vector<FfiType> parameters;

  friend bool operator==(const FfiSignature&, const FfiSignature&) = default;
};

// More parameters than any export takes is refused.
inline constexpr size_t kFfiMaxParameters = 16;

// Parses a signature; nullopt (and the reason in `error`) for anything else.
std::optional<FfiSignature> parseFfiSignature(const std::string& text,
                                              std::string* error = nullptr);
