#include <gtest/gtest.h>

#include <sys/stat.h>

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
  // It ran until it was told to stop, and then ended as quitting does.
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "wait status " << *status;
  EXPECT_EQ(host.standardError(), "");
}

std::string nestedPropertyList(int depth) {
  std::string body;
  for (int i = 0; i < depth; ++i) body += "<array>";
  for (int i = 0; i < depth; ++i) body += "</array>";
  return "<?xml version=\"1.0\"?><plist version=\"1.0\">" + body + "</plist>";
}

TEST_F(Startup, WhatKeepsTheApplicationFromStartingIsReportedInOneLine) {
  const auto info = [](const BundleCopy& bundle) { return bundle.path() / "Contents/Info.plist"; };
  const auto menu = [](const BundleCopy& bundle) {
    return bundle.path() / "Contents/Resources/MainMenu.json";
  };
  const struct {
    const char* what;
    // Spoils the copy; returns the machine profile to start with, if any.
    std::function<std::string(const BundleCopy&)> spoil;
    const char* reason;
  } cases[] = {
      {"no interface description",
       [&](const BundleCopy& bundle) {
         fs::remove(menu(bundle));
         return std::string();
       },
       "MainMenu.json"},
      {"an interface description that is a directory",
       [&](const BundleCopy& bundle) {
         fs::remove(menu(bundle));
         fs::create_directory(menu(bundle));
         return std::string();
       },
       "MainMenu.json is a directory"},
      {"an interface description that is a FIFO",
       [&](const BundleCopy& bundle) {
         fs::remove(menu(bundle));
         ::mkfifo(menu(bundle).c_str(), 0600);
         return std::string();
       },
       "MainMenu.json is not a regular file"},
      {"an Info.plist nested too deep",
       [&](const BundleCopy& bundle) {
         std::ofstream(info(bundle)) << nestedPropertyList(25000);
         return std::string();
       },
       "Info.plist nests arrays and dictionaries more than 512 deep"},
      {"an Info.plist too large",
       [&](const BundleCopy& bundle) {
         std::ofstream(info(bundle)) << std::string(2 << 20, ' ');
         return std::string();
       },
       "Info.plist is larger than 1048576 bytes"},
      {"invalid machine profile",
       [](const BundleCopy& bundle) {
         std::ofstream(bundle.directory() / "machine.json") << "[1";
         return (bundle.directory() / "machine.json").string();
       },
       "TOLVEK_MACHINE"},
      {"a machine profile that is a device", [](const BundleCopy&) { return "/dev/zero"; },
       "/dev/zero is not a regular file"},
      {"a machine profile that is a FIFO",
       [](const BundleCopy& bundle) {
         const auto fifo = bundle.directory() / "machine.fifo";
         ::mkfifo(fifo.c_str(), 0600);
         return fifo.string();
       },
       "machine.fifo is not a regular file"},
  };
  for (const auto& test : cases) {
    BundleCopy bundle;
    const std::string profile = test.spoil(bundle);
    std::vector<std::string> env;
    if (!profile.empty()) env.push_back("TOLVEK_MACHINE=" + profile);
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
