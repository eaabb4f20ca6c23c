// The bindings the transport checks FFI frames against are the application's header.
#include "macos/Flutter/engine/FfiBindings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "macos/Runner/tolvek.h"

namespace {

// How an FFI frame writes a C parameter or result type.
template <typename T>
std::string parameterName() {
  if constexpr (std::is_same_v<T, int32_t>) return "int32";
  if constexpr (std::is_same_v<T, const char*>) return "utf8";
  if constexpr (std::is_same_v<T, int32_t*>) return "outint32";
  if constexpr (std::is_same_v<T, char*> || std::is_same_v<T, void*>) return "ptr";
  return "?";
}

template <typename T>
std::string resultName() {
  if constexpr (std::is_same_v<T, void>) return "void";
  if constexpr (std::is_same_v<T, int32_t>) return "int32";
  if constexpr (std::is_same_v<T, char*>) return "utf8ptr";
  return "?";
}

template <typename R, typename... P>
std::string signatureOf(R (*)(P...)) {
  std::string parameters;
  ((parameters += (parameters.empty() ? "" : ",") + parameterName<P>()), ...);
  return resultName<R>() + "(" + parameters + ")";
}

#define EXPORT(name) \
  { #name, signatureOf(&name) }

TEST(FfiBindings, EveryExportOfTheHeaderIsBoundWithItsCSignature) {
  const std::map<std::string, std::string> header = {
      EXPORT(tolvek_window_show),           EXPORT(tolvek_window_hide),
      EXPORT(tolvek_window_minimize),       EXPORT(tolvek_window_maximize),
      EXPORT(tolvek_window_restore),        EXPORT(tolvek_window_close),
      EXPORT(tolvek_window_start_dragging), EXPORT(tolvek_window_center),
      EXPORT(tolvek_window_is_maximized),   EXPORT(tolvek_window_is_visible),
      EXPORT(tolvek_window_set_size),       EXPORT(tolvek_window_get_size),
      EXPORT(tolvek_window_set_min_size),   EXPORT(tolvek_window_set_title),
      EXPORT(tolvek_clipboard_write_files), EXPORT(tolvek_clipboard_read_files),
      EXPORT(tolvek_clipboard_is_cut),      EXPORT(tolvek_clipboard_free),
  };
  // The list above names every function the header exports.
  std::ifstream file(TOLVEK_SOURCE_DIR "/macos/Runner/tolvek.h");
  std::stringstream text;
  text << file.rdbuf();
  const std::string source = text.str();
  std::set<std::string> declared;
  const std::regex exportLine(R"(TOLVEK_EXPORT [^;(]*\b(tolvek_\w+)\s*\()");
  for (auto it = std::sregex_iterator(source.begin(), source.end(), exportLine);
       it != std::sregex_iterator(); ++it)
    declared.insert((*it)[1]);
  std::set<std::string> listed;
  for (const auto& [symbol, signature] : header) listed.insert(symbol);
  EXPECT_EQ(declared, listed);

  for (const auto& [symbol, signature] : header) {
    const auto binding = findFfiBinding(symbol);
    ASSERT_TRUE(binding) << symbol;
    EXPECT_EQ(binding->signature, signature) << symbol;
    // A query answers and does nothing else: it returns a value or fills slots.
    const bool answers =
        signature.rfind("void(", 0) != 0 || signature.find("outint32") != std::string::npos;
    EXPECT_EQ(binding->query, answers) << symbol;
    EXPECT_EQ(binding->releasesText, symbol == "tolvek_clipboard_free") << symbol;
  }
}

}  // namespace
