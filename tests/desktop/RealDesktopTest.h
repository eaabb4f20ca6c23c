#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop/XDesktop.h"
#include "tests/e2e/HostTestSupport.h"

// The real host on a real X desktop (Xvfb and openbox, one for each test program), with
// TOLVEK_DESKTOP=gtk, and a Dart-side peer attached to it: each test starts a host and waits
// for its main window to show.
class RealDesktop : public ::testing::Test {
 protected:
  // The thread the exports are called on, as a Dart isolate's thread calls them.
  static constexpr uint8_t kDartThread = 1;

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

  // The host on the real desktop, from a private copy of its bundle.
  virtual tolvekdart::HostProcess::Options options() const {
    auto options = hostOptions();
    options.environment.insert(options.environment.end(), {{"TOLVEK_DESKTOP", "gtk"},
                                                           {"DISPLAY", desktop()->name()},
                                                           {"WAYLAND_DISPLAY", ""},
                                                           {"GDK_BACKEND", "x11"},
                                                           {"GSETTINGS_BACKEND", "memory"},
                                                           {"NO_AT_BRIDGE", "1"}});
    return options;
  }

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
  // What tolvek_window_get_size answers, as "W x H".
  std::string size() {
    const auto answer = client_->callFfi(kDartThread, "tolvek_window_get_size",
                                         "void(outint32,outint32)", {int32_t{0}, int32_t{0}});
    const auto* out = field(answer, "out");
    if (!out || !out->list() || out->list()->size() != 2) return "no size";
    return std::to_string(*(*out->list())[0].integer()) + " x " +
           std::to_string(*(*out->list())[1].integer());
  }
  // Waits until the export answers `expected`: the host learns from the window system in
  // its own time.
  bool answers(const std::string& symbol, int64_t expected) {
    return XDesktop::waitFor([&] { return query(symbol) == expected; });
  }
  bool sizeIs(const std::string& expected) {
    return XDesktop::waitFor([&] { return size() == expected; });
  }
  bool xSizeIs(int width, int height) {
    return XDesktop::waitFor([&] {
      const auto geometry = desktop()->geometry(window_);
      return geometry.width == width && geometry.height == height;
    });
  }
  bool viewable(bool wanted) {
    return XDesktop::waitFor([&] { return desktop()->geometry(window_).viewable == wanted; });
  }
  EncodableValue mainWindow() {
    const auto reply = client_->desktop("windows");
    const auto* windows = std::get_if<EncodableValue>(&reply);
    return windows && windows->list() && !windows->list()->empty() ? windows->list()->front()
                                                                   : EncodableValue();
  }
  std::vector<uint8_t> snapshot() {
    const auto reply = client_->desktop("snapshot");
    const auto* value = std::get_if<EncodableValue>(&reply);
    const auto* bytes = value ? std::get_if<std::vector<uint8_t>>(value) : nullptr;
    return bytes ? *bytes : std::vector<uint8_t>{};
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
