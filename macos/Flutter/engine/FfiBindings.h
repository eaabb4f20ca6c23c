#pragma once

#include <optional>
#include <string>
#include <string_view>

// What the Dart side's bindings say of each function the application exports: its
// signature, and what kind of call it is. Dart code binds the exports from the
// application's C header (tolvek.h), so a call through the transport must match it: a
// frame that names another signature would otherwise call the function with arguments of
// the wrong kind.
struct FfiBinding {
  std::string symbol;
  std::string signature;  // as FFI frames write it, e.g. "void(int32,int32)"
  // Only its answer matters: a call of it that nobody is left to answer is skipped.
  bool query = false;
  // Its pointer parameter gives back text that a `utf8ptr` export handed out.
  bool releasesText = false;
};

// The binding of `symbol`, if it is a declared export.
std::optional<FfiBinding> findFfiBinding(std::string_view symbol);

// Test seam: declares a binding of a test's own export (replacing one of that name).
void declareFfiBindingForTesting(FfiBinding binding);
