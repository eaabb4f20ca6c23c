#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "macos/Runner/AppDelegate.h"
#include "platform/AppKit/NSApplicationMain.h"
#include "platform/Foundation/NSBundle.h"
#include "support/ChildProcess.h"
#include "support/RunnerFixture.h"

namespace {

namespace fs = std::filesystem;

// A copy of the built bundle in a directory of its own, removed afterwards.
class BundleCopy {
 public:
  BundleCopy() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    directory_ = fs::temp_directory_path() /
                 ("tolvek-startup-" + std::to_string(getpid()) + "-" + test->name());
    fs::remove_all(directory_);
    fs::create_directories(directory_);
    fs::copy(TOLVEK_APP_DIR, path(), fs::copy_options::recursive);
  }
  ~BundleCopy() { fs::remove_all(directory_); }

  fs::path path() const { return directory_ / "Tolvek.app"; }
  fs::path executable() const { return path() / "Contents/MacOS/Tolvek"; }
  fs::path directory() const { return directory_; }

 private:
  fs::path directory_;
};

std::string readFile(const fs::path& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// The process has loaded its frameworks from the copy and its main thread sleeps in the
// run loop, waiting for work.
bool idleInItsRunLoop(pid_t pid, const BundleCopy& bundle) {
  const std::string maps = readFile("/proc/" + std::to_string(pid) + "/maps");
  if (maps.find((bundle.path() / "Contents/Frameworks/libirondash_engine_context.so").string()) ==
      std::string::npos)
    return false;
  const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
  const auto afterName = stat.rfind(')');
  return afterName != std::string::npos && stat.compare(afterName, 3, ") S") == 0;
}

using Startup = RunnerTest;

TEST_F(Startup, TheInterfaceDescriptionMakesTheDelegateAndOneMainWindow) {
  BundleCopy bundle;
  struct Seen {
    std::string delegateClass;
    std::vector<std::string> windowClasses;
    bool visible = false;
    bool recorded = false;
    std::vector<std::string> registrarKeys;
    NSRect frame{};
  } seen;
  platform::mainQueue().async([&seen] {
    seen.delegateClass = std::dynamic_pointer_cast<NSObject>(NSApp()->delegate())->className();
    for (const auto& window : NSApp()->windows()) seen.windowClasses.push_back(window->className());
    const auto window = NSApp()->windows().front();
    seen.visible = window->isVisible() && window->isKeyWindow();
    seen.recorded = TolvekWindowState::window() == window;
    seen.registrarKeys = controllerOf(*window)->registrarKeys();
    seen.frame = window->frame();
    NSApp()->terminate(nullptr);
  });
  platform::setMainBundlePathForTesting(bundle.path().string());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(NSApplicationMain(0, nullptr), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  platform::setMainBundlePathForTesting(std::nullopt);
  EXPECT_EQ(seen.delegateClass, "AppDelegate");
  EXPECT_EQ(seen.windowClasses, std::vector<std::string>{"MainFlutterWindow"});
  EXPECT_TRUE(seen.visible);
  EXPECT_TRUE(seen.recorded);
  EXPECT_EQ(seen.registrarKeys, kRegisteredPluginKeys);
  EXPECT_EQ(seen.frame, NSMakeRect(320, 150, 800, 628)) << "the described content rect";
}

TEST_F(Startup, TheBuiltBundleRunsFromACopyUntilTerminated) {
  BundleCopy bundle;
  ChildProcess host(bundle.executable().string());
  ASSERT_TRUE(host.started());
  EXPECT_TRUE(host.waitWhileRunning([&] { return idleInItsRunLoop(host.pid(), bundle); }))
      << host.standardError();
  ASSERT_TRUE(host.running());
  kill(host.pid(), SIGTERM);
  const auto status = host.waitForExit();
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM)
      << "it ran until it was told to stop";
  EXPECT_EQ(host.standardError(), "");
}

TEST_F(Startup, WhatKeepsTheApplicationFromStartingIsReportedInOneLine) {
  const struct {
    const char* what;
    std::function<void(const BundleCopy&)> spoil;
    std::vector<std::string> env;
    const char* reason;
  } cases[] = {
      {"no interface description",
       [](const BundleCopy& bundle) {
         fs::remove(bundle.path() / "Contents/Resources/MainMenu.json");
       },
       {},
       "MainMenu.json"},
      {"invalid machine profile",
       [](const BundleCopy& bundle) { std::ofstream(bundle.directory() / "machine.json") << "[1"; },
       {"machine.json"},
       "TOLVEK_MACHINE"},
  };
  for (const auto& test : cases) {
    BundleCopy bundle;
    test.spoil(bundle);
    std::vector<std::string> env;
    for (const auto& file : test.env)
      env.push_back("TOLVEK_MACHINE=" + (bundle.directory() / file).string());
    ChildProcess host(bundle.executable().string(), env);
    ASSERT_TRUE(host.started());
    const auto status = host.waitForExit();
    ASSERT_TRUE(status.has_value()) << test.what;
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) != 0) << test.what;
    const std::string errors = host.standardError();
    EXPECT_EQ(errors.rfind("tolvek: ", 0), 0u) << test.what << ": " << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << test.what << ": " << errors;
    EXPECT_NE(errors.find(test.reason), std::string::npos) << test.what << ": " << errors;
  }
}

}  // namespace
