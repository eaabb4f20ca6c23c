#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "platform/AppKit/ClassRegistry.h"
#include "platform/AppKit/InterfaceDescription.h"
#include "platform/AppKit/NSApplicationMain.h"
#include "platform/desktop/WindowServerControl.h"
#include "support/BundleFixture.h"
#include "support/DesktopFixture.h"

namespace {

namespace fs = std::filesystem;
using platform::InterfaceDescription;
using platform::StartupError;

// The application's delegate for these tests: it ends the application as soon as it has
// launched.
class QuittingDelegate : public NSObject, public NSApplicationDelegate {
 public:
  void applicationDidFinishLaunching(const NSNotification&) override {
    ++launches;
    platform::mainQueue().async([] { NSApp()->terminate(nullptr); });
  }
  static inline int launches = 0;
};

class AwakeWindow : public NSWindow {
 public:
  void awakeFromNib() override {
    ++awakenings;
    frameAtAwake = frame();
    visibleAtAwake = isVisible();
  }
  static inline int awakenings = 0;
  static inline NSRect frameAtAwake{};
  static inline bool visibleAtAwake = true;
};

const platform::ClassRegistration<QuittingDelegate> delegateClass("QuittingDelegate");
const platform::ClassRegistration<AwakeWindow> windowClass("AwakeWindow");

const char* kInfo =
    "<dict><key>CFBundleExecutable</key><string>Test</string>"
    "<key>NSMainNibFile</key><string>MainMenu</string></dict>";

const char* kInterface = R"({
  "delegate": "QuittingDelegate",
  "window": {"class": "AwakeWindow", "title": "Test", "contentRect": [10, 20, 300, 200],
             "styleMask": ["titled", "closable"], "visibleAtLaunch": true}})";

class InterfaceLoading : public DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    bundle_.emplace(kInfo);
    write("Contents/Resources/MainMenu.json", kInterface);
    QuittingDelegate::launches = 0;
    AwakeWindow::awakenings = 0;
  }
  void TearDown() override {
    bundle_.reset();
    DesktopTest::TearDown();
  }
  // Writes a file of the main bundle (nullptr: removes it).
  void write(const std::string& path, const char* text) {
    if (text != nullptr) {
      bundle_->writeRaw(path, text);
      return;
    }
    fs::remove(bundle_->bundlePath() + "/" + path);
    platform::setMainBundlePathForTesting(bundle_->bundlePath());
  }
  // Runs the application from the main bundle and returns its status and standard error.
  static std::pair<int, std::string> start() {
    ::testing::internal::CaptureStderr();
    const int status = NSApplicationMain(0, nullptr);
    return {status, ::testing::internal::GetCapturedStderr()};
  }

  std::optional<test_support::BundleFixture> bundle_;
};

TEST_F(InterfaceLoading, StartsTheDescribedDelegateAndWindowAndRunsUntilTermination) {
  const auto [status, errors] = start();
  EXPECT_EQ(status, 0);
  EXPECT_EQ(errors, "");
  EXPECT_EQ(QuittingDelegate::launches, 1);
  EXPECT_EQ(AwakeWindow::awakenings, 1);
  EXPECT_EQ(AwakeWindow::frameAtAwake, NSMakeRect(10, 20, 300, 228));
  EXPECT_FALSE(AwakeWindow::visibleAtAwake) << "shown only after awakeFromNib";
  const auto windows = NSApp()->windows();
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0]->className(), "AwakeWindow");
  EXPECT_EQ(windows[0]->title(), "Test");
  EXPECT_EQ(windows[0]->styleMask(), NSWindowStyleMaskTitled | NSWindowStyleMaskClosable);
  EXPECT_TRUE(windows[0]->isVisible());
  EXPECT_TRUE(windows[0]->isKeyWindow());
  EXPECT_EQ(platform::WindowServerControl::interfaceWindow(), windows[0]);
}

TEST_F(InterfaceLoading, ABundleThatCannotStartIsReportedInOneLine) {
  const struct {
    const char* what;
    const char* path;
    const char* content;  // nullptr: remove the file
    const char* reason;
  } cases[] = {
      {"no Info.plist", "Contents/Info.plist", nullptr, "Info.plist does not exist"},
      {"Info.plist not a plist", "Contents/Info.plist", "hello",
       "Info.plist is not a property list"},
      {"no NSMainNibFile", "Contents/Info.plist",
       "<plist version=\"1.0\"><dict><key>A</key><string>b</string></dict></plist>",
       "names no NSMainNibFile"},
      {"nib name with a path", "Contents/Info.plist",
       "<plist version=\"1.0\"><dict><key>NSMainNibFile</key><string>../x</string></dict></plist>",
       "not a file name"},
      {"no interface description", "Contents/Resources/MainMenu.json", nullptr, "MainMenu.json"},
      {"not JSON", "Contents/Resources/MainMenu.json", "{", "not valid JSON"},
      {"unknown class", "Contents/Resources/MainMenu.json",
       R"({"window": {"class": "NoSuchWindow", "contentRect": [0, 0, 1, 1]}})", "NoSuchWindow"},
      {"delegate not a delegate", "Contents/Resources/MainMenu.json", R"({"delegate": "NSWindow"})",
       "not an application delegate"},
      {"window not a window", "Contents/Resources/MainMenu.json",
       R"({"window": {"class": "QuittingDelegate", "contentRect": [0, 0, 1, 1]}})", "not a window"},
      {"unknown style", "Contents/Resources/MainMenu.json",
       R"({"window": {"class": "NSWindow", "contentRect": [0, 0, 1, 1], "styleMask": ["round"]}})",
       "round"},
  };
  for (const auto& test : cases) {
    SetUp();
    write(test.path, test.content);
    const auto [status, errors] = start();
    EXPECT_NE(status, 0) << test.what;
    EXPECT_EQ(errors.rfind("tolvek: ", 0), 0u) << test.what << ": " << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << test.what << ": " << errors;
    EXPECT_NE(errors.find(test.reason), std::string::npos) << test.what << ": " << errors;
    EXPECT_TRUE(NSApp()->windows().empty()) << test.what << ": nothing was made";
    EXPECT_EQ(QuittingDelegate::launches, 0) << test.what;
    TearDown();
  }
}

TEST_F(InterfaceLoading, DescriptionsAreCheckedEntryByEntry) {
  const auto description = InterfaceDescription::parse(
      R"({"window": {"class": "NSPanel", "contentRect": [1, 2, 3, 4], "visibleAtLaunch": false,
                     "styleMask": ["titled", "fullSizeContentView"]}})");
  EXPECT_FALSE(description.delegateClass.has_value());
  ASSERT_TRUE(description.window.has_value());
  EXPECT_EQ(description.window->contentRect, NSMakeRect(1, 2, 3, 4));
  EXPECT_FALSE(description.window->visibleAtLaunch);
  EXPECT_EQ(description.window->styleMask,
            NSWindowStyleMaskTitled | NSWindowStyleMaskFullSizeContentView);

  for (const char* bad : {
           R"([])",
           R"({"menu": {}})",
           R"({"window": {"contentRect": [0, 0, 1, 1]}})",
           R"({"window": {"class": "NSWindow"}})",
           R"({"window": {"class": "NSWindow", "contentRect": [0, 0, -1, 1]}})",
           R"({"window": {"class": "NSWindow", "contentRect": [0, 0, 1]}})",
           R"({"window": {"class": "NSWindow", "contentRect": [0, 0, 1, 1], "title": 3}})",
           R"({"window": {"class": "NSWindow", "contentRect": [0, 0, 1, 1], "x": 3}})",
       }) {
    EXPECT_THROW(InterfaceDescription::parse(bad), StartupError) << bad;
  }
}

}  // namespace
