#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "desktop/XDesktop.h"
#include "tests/e2e/HostTestSupport.h"

// A test of the real host on a real X desktop: the desktop is started once for the suite,
// the host (TOLVEK_DESKTOP=gtk, from a private copy of its bundle) for each test, with a
// Dart-side peer attached, once its main window named Tolvek is shown.
class HostOnXDesktop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    try {
      desktop() = std::make_unique<XDesktop>();
    } catch (const std::exception& error) {
      startError() = error.what();
    }
  }
  static void TearDownTestSuite() { desktop().reset(); }

  void SetUp() override {
    ASSERT_TRUE(desktop()) << "no X desktop: " << startError();
    host_ = tolvekdart::HostProcess::start(options());
    client_.emplace(host_->connect());
    client_->setTimeout(std::chrono::seconds(10));
    ASSERT_TRUE(XDesktop::waitFor([this] {
      window_ = desktop()->windowNamed("Tolvek");
      return window_ != 0 && desktop()->geometry(window_).viewable;
    })) << "no window named Tolvek is shown";
  }

  void TearDown() override {
    if (!host_) return;
    EXPECT_TRUE(host_->running()) << "the host ended during the test";
    client_.reset();
    const int status = host_->stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
  }

  // The GTK desktop on this X server, with nothing from the session outside it (no
  // settings daemon, no accessibility bus, no desktop portal: GTK's own dialogs).
  virtual tolvekdart::HostProcess::Options options() const {
    auto options = hostOptions();
    options.environment.insert(options.environment.end(), {{"TOLVEK_DESKTOP", "gtk"},
                                                           {"DISPLAY", desktop()->name()},
                                                           {"WAYLAND_DISPLAY", ""},
                                                           {"GDK_BACKEND", "x11"},
                                                           {"GSETTINGS_BACKEND", "memory"},
                                                           {"NO_AT_BRIDGE", "1"},
                                                           {"GTK_USE_PORTAL", "0"},
                                                           {"LSAN_OPTIONS", leakSuppressions()}});
    return options;
  }

  // An export called as a Dart isolate's thread calls it: a command, whose call must not be
  // refused, and a query of an int32, -1 when it gives none.
  static constexpr uint8_t kDartThread = 1;
  void command(const std::string& symbol, const std::string& signature = "void()",
               const EncodableList& arguments = {}) {
    const auto answer = client_->callFfi(kDartThread, symbol, signature, arguments);
    EXPECT_EQ(field(answer, "error"), nullptr) << symbol;
  }
  int64_t query(const std::string& symbol) {
    const auto answer = client_->callFfi(kDartThread, symbol, "int32()", {});
    const auto* result = field(answer, "result");
    return result && result->integer() ? *result->integer() : -1;
  }

  // Under LeakSanitizer: what the toolkit's libraries keep for the life of the process is
  // passed over (the file says what and why).
  virtual std::string leakSuppressions() const {
    return "suppressions=" TOLVEK_TEST_DATA_DIR "/gtk-desktop.supp";
  }

  static std::unique_ptr<XDesktop>& desktop() {
    static std::unique_ptr<XDesktop> shared;
    return shared;
  }
  static std::string& startError() {
    static std::string shared;
    return shared;
  }

  std::unique_ptr<tolvekdart::HostProcess> host_;
  std::optional<tolvekdart::EngineClient> client_;
  Window window_ = 0;
};
