#include "macos/Flutter/engine/FfiBindings.h"

#include <map>
#include <mutex>

namespace {

struct Row {
  std::string_view symbol;
  std::string_view signature;
  bool query = false;
  bool releasesText = false;
};

// The application's exports, as tolvek.h declares them.
constexpr Row kApplicationBindings[] = {
    {"tolvek_window_show", "void()"},
    {"tolvek_window_hide", "void()"},
    {"tolvek_window_minimize", "void()"},
    {"tolvek_window_maximize", "void()"},
    {"tolvek_window_restore", "void()"},
    {"tolvek_window_close", "void()"},
    {"tolvek_window_start_dragging", "void()"},
    {"tolvek_window_center", "void()"},
    {"tolvek_window_is_maximized", "int32()", true},
    {"tolvek_window_is_visible", "int32()", true},
    {"tolvek_window_set_size", "void(int32,int32)"},
    {"tolvek_window_get_size", "void(outint32,outint32)", true},
    {"tolvek_window_set_min_size", "void(int32,int32)"},
    {"tolvek_window_set_title", "void(utf8)"},
    {"tolvek_clipboard_write_files", "void(utf8,int32)"},
    {"tolvek_clipboard_read_files", "utf8ptr()", true},
    {"tolvek_clipboard_is_cut", "int32()", true},
    {"tolvek_clipboard_free", "void(ptr)", false, true},
};

struct DeclaredForTesting {
  std::mutex mutex;
  std::map<std::string, FfiBinding, std::less<>> bindings;
};

DeclaredForTesting& declaredForTesting() {
  static DeclaredForTesting declared;
  return declared;
}

}  // namespace

std::optional<FfiBinding> findFfiBinding(std::string_view symbol) {
  for (const auto& row : kApplicationBindings)
    if (row.symbol == symbol)
      return FfiBinding{std::string(row.symbol), std::string(row.signature), row.query,
                        row.releasesText};
  auto& declared = declaredForTesting();
  std::lock_guard lock(declared.mutex);
  const auto found = declared.bindings.find(symbol);
  if (found == declared.bindings.end()) return std::nullopt;
  return found->second;
}

void declareFfiBindingForTesting(FfiBinding binding) {
  auto& declared = declaredForTesting();
  std::lock_guard lock(declared.mutex);
  declared.bindings[binding.symbol] = std::move(binding);
}
