// The real host on a real X desktop (Xvfb and openbox), with TOLVEK_DESKTOP=gtk, checked
// from outside as any X client sees it and through the exports, as the Dart code calls
// them.

#include <memory>
#include <string>
#include <vector>

#include "desktop/HostOnXDesktop.h"
#include "support/PngPixels.h"
#include "support/TemporaryDirectory.h"
#include "tests/e2e/HostTestSupport.h"

namespace {

using tolvekdart::EngineClient;
using tolvekdart::HostProcess;

constexpr uint32_t kBackground = 0x2B2B2B;
constexpr uint32_t kClose = 0xFF5F57, kMiniaturize = 0xFEBC2E, kZoom = 0x28C840;
// The buttons' centres in points from the window's top left, and points between them.
constexpr int kButtonY = 16;
constexpr int kCloseX = 17, kMiniaturizeX = 37, kZoomX = 57;
constexpr int kBetweenX[] = {27, 47, 80};

class RealDesktop : public HostOnXDesktop {
 protected:
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
};

TEST_F(RealDesktop, TheMainWindowIsARealWindowNamedTolvekOf800By628) {
  const auto geometry = desktop()->geometry(window_);
  EXPECT_EQ(geometry.width, 800);
  EXPECT_EQ(geometry.height, 628);
  EXPECT_EQ(desktop()->title(window_), "Tolvek");
  EXPECT_TRUE(sizeIs("800 x 628"));
  EXPECT_EQ(query("tolvek_window_is_visible"), 1);
}

TEST_F(RealDesktop, SetSizeResizesTheRealWindowKeepingItsTopEdge) {
  const int top = desktop()->geometry(window_).y;
  command("tolvek_window_set_size", "void(int32,int32)", {int32_t{1024}, int32_t{768}});
  EXPECT_TRUE(xSizeIs(1024, 768));
  EXPECT_EQ(desktop()->geometry(window_).y, top);
  EXPECT_TRUE(sizeIs("1024 x 768")) << "get_size answers " << size();
}

TEST_F(RealDesktop, MinimizeMakesTheWindowIconicAndRestoreBringsItBack) {
  command("tolvek_window_minimize");
  EXPECT_TRUE(XDesktop::waitFor([&] {
    return desktop()->hasState(window_, "_NET_WM_STATE_HIDDEN") &&
           desktop()->wmState(window_) == IconicState;
  }));
  EXPECT_TRUE(answers("tolvek_window_is_visible", 0));
  command("tolvek_window_restore");
  EXPECT_TRUE(viewable(true));
  EXPECT_FALSE(desktop()->hasState(window_, "_NET_WM_STATE_HIDDEN"));
  EXPECT_TRUE(answers("tolvek_window_is_visible", 1));
}

TEST_F(RealDesktop, MaximizeFillsTheScreensWorkAreaUntilRestored) {
  command("tolvek_window_maximize");
  EXPECT_TRUE(XDesktop::waitFor([&] {
    return desktop()->hasState(window_, "_NET_WM_STATE_MAXIMIZED_VERT") &&
           desktop()->hasState(window_, "_NET_WM_STATE_MAXIMIZED_HORZ");
  }));
  EXPECT_TRUE(answers("tolvek_window_is_maximized", 1));
  EXPECT_TRUE(xSizeIs(1440, 900)) << "openbox's work area is the whole screen";
  EXPECT_TRUE(sizeIs("1440 x 900")) << "get_size answers " << size();
  command("tolvek_window_restore");
  EXPECT_TRUE(xSizeIs(800, 628));
  EXPECT_FALSE(desktop()->hasState(window_, "_NET_WM_STATE_MAXIMIZED_VERT"));
  EXPECT_TRUE(answers("tolvek_window_is_maximized", 0));
}

TEST_F(RealDesktop, HideUnmapsTheWindowAndShowMapsItAgain) {
  command("tolvek_window_hide");
  EXPECT_TRUE(viewable(false));
  EXPECT_TRUE(answers("tolvek_window_is_visible", 0));
  command("tolvek_window_show");
  EXPECT_TRUE(viewable(true));
  EXPECT_TRUE(answers("tolvek_window_is_visible", 1));
}

TEST_F(RealDesktop, SetTitleRenamesTheRealWindow) {
  const std::string title = "Tolvek \xE2\x80\x94 notes";
  command("tolvek_window_set_title", "void(utf8)", {title});
  EXPECT_TRUE(XDesktop::waitFor([&] { return desktop()->title(window_) == title; }))
      << desktop()->title(window_);
}

TEST_F(RealDesktop, TheTitleBandShowsTheThreeButtonsOnThePlainBackground) {
  // Colours while the window is key, which openbox makes it when it maps it.
  EXPECT_TRUE(
      XDesktop::waitFor([&] { return desktop()->pixel(window_, kCloseX, kButtonY) == kClose; }));
  EXPECT_EQ(desktop()->pixel(window_, kMiniaturizeX, kButtonY), kMiniaturize);
  EXPECT_EQ(desktop()->pixel(window_, kZoomX, kButtonY), kZoom);
  for (const int x : kBetweenX) EXPECT_EQ(desktop()->pixel(window_, x, kButtonY), kBackground);
  EXPECT_EQ(desktop()->pixel(window_, 400, 300), kBackground);

  // The snapshot is that picture.
  const PngPixels picture(snapshot());
  ASSERT_TRUE(picture.valid());
  EXPECT_EQ(picture.width(), 800);
  EXPECT_EQ(picture.height(), 628);
  EXPECT_EQ(picture.at(kCloseX, kButtonY), kClose);
  EXPECT_EQ(picture.at(kMiniaturizeX, kButtonY), kMiniaturize);
  EXPECT_EQ(picture.at(kZoomX, kButtonY), kZoom);
  for (const int x : kBetweenX) EXPECT_EQ(picture.at(x, kButtonY), kBackground);
}

TEST_F(RealDesktop, AClickOnCloseHidesTheWindowAndTheHostKeepsAnswering) {
  ASSERT_TRUE(
      XDesktop::waitFor([&] { return desktop()->pixel(window_, kCloseX, kButtonY) == kClose; }));
  desktop()->click(window_, kCloseX, kButtonY);
  EXPECT_TRUE(viewable(false));
  EXPECT_TRUE(answers("tolvek_window_is_visible", 0));
  const auto scale = client_->invokeMethod("tolvek/system_scale", "getScale");
  EXPECT_EQ(scale, FlutterMethodReply(EncodableValue(1.0)));
  EXPECT_TRUE(host_->running());
}

TEST_F(RealDesktop, ClicksOnMiniaturizeAndZoomActAsTheirButtons) {
  ASSERT_TRUE(
      XDesktop::waitFor([&] { return desktop()->pixel(window_, kCloseX, kButtonY) == kClose; }));
  desktop()->click(window_, kZoomX, kButtonY);
  EXPECT_TRUE(XDesktop::waitFor(
      [&] { return desktop()->hasState(window_, "_NET_WM_STATE_MAXIMIZED_VERT"); }));
  EXPECT_TRUE(answers("tolvek_window_is_maximized", 1));
  desktop()->click(window_, kMiniaturizeX, kButtonY);
  EXPECT_TRUE(XDesktop::waitFor([&] { return desktop()->wmState(window_) == IconicState; }));
  EXPECT_TRUE(answers("tolvek_window_is_visible", 0));
}

TEST_F(RealDesktop, OnlyStartDraggingMovesTheWindowFromTheTitleBand) {
  const auto start = desktop()->geometry(window_);
  // A press and a move in the title band by themselves move nothing.
  desktop()->movePointer(window_, 300, 10);
  desktop()->press();
  desktop()->movePointer(window_, 340, 40);
  desktop()->release();
  EXPECT_EQ(desktop()->geometry(window_).x, start.x);

  // The hosted UI answers a press with start_dragging once the press has reached it; the
  // window then follows the pointer. The test cannot see the press arrive: the window
  // manager holds it while it focuses and raises the window, and a command that comes
  // before it has no press to drag from. So a press that started no move is let go and
  // made again.
  const Window root = DefaultRootWindow(desktop()->display());
  bool moved = false;
  for (int attempt = 0; attempt < 4 && !moved; ++attempt) {
    desktop()->movePointer(window_, 300, 10);
    desktop()->press();
    ASSERT_TRUE(answers("tolvek_window_is_visible", 1));
    command("tolvek_window_start_dragging");
    moved = XDesktop::waitFor(
        [&] {
          // The window manager moves the window on the pointer's motion once it has the
          // drag: the pointer comes to its place anew each time, in case it was there before.
          desktop()->movePointer(root, start.x + 399, start.y + 60);
          desktop()->movePointer(root, start.x + 400, start.y + 60);
          return desktop()->geometry(window_).x == start.x + 100;
        },
        std::chrono::seconds(3));
    desktop()->release();
  }
  EXPECT_TRUE(moved) << "the window is at x " << desktop()->geometry(window_).x;
  EXPECT_TRUE(XDesktop::waitFor([&] {
    const auto window = mainWindow();
    const auto* frame = field(window, "frame");
    return frame && frame->list() && (*frame->list())[0] == EncodableValue(420.0);
  })) << "the host follows the move";
}

TEST_F(RealDesktop, CenterPlacesTheWindowOnTheWorkArea) {
  command("tolvek_window_center");
  // Centred across 1440 points; a third of the 272 free points above it, two thirds below.
  EXPECT_TRUE(XDesktop::waitFor([&] {
    const auto geometry = desktop()->geometry(window_);
    return geometry.x == 320 && geometry.y == 91;
  })) << desktop()->geometry(window_).x
      << ", " << desktop()->geometry(window_).y;
}

TEST_F(RealDesktop, ASecondStartShowsTheHiddenWindowAndEnds) {
  command("tolvek_window_hide");
  ASSERT_TRUE(viewable(false));
  auto second = options();
  second.bundlePath = host_->bundlePath();
  second.copyBundle = false;
  const auto again = HostProcess::spawn(second);
  const auto status = again->waitForExit(std::chrono::seconds(10));
  ASSERT_TRUE(status.has_value()) << "the second start keeps running";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "wait status " << *status;
  EXPECT_FALSE(pathExists(again->socketPath())) << "the second start made an engine socket";
  EXPECT_TRUE(viewable(true));
  EXPECT_TRUE(answers("tolvek_window_is_visible", 1));
}

class RealDesktopAtScale2 : public RealDesktop {
 protected:
  HostProcess::Options options() const override {
    auto options = RealDesktop::options();
    options.environment.emplace_back("GDK_SCALE", "2");
    return options;
  }
};

TEST_F(RealDesktopAtScale2, GetScaleAnswersTheMonitorsScaleAndTheSnapshotHasItsPixels) {
  const auto scale = client_->invokeMethod("tolvek/system_scale", "getScale");
  EXPECT_EQ(scale, FlutterMethodReply(EncodableValue(2.0)));
  // The 1440 x 900-pixel screen is 720 x 450 points: openbox fits the 800 x 628-point
  // window into it, and the host answers the size it got, in points.
  const auto geometry = desktop()->geometry(window_);
  EXPECT_LE(geometry.width, 1440);
  EXPECT_LE(geometry.height, 900);
  EXPECT_TRUE(
      sizeIs(std::to_string(geometry.width / 2) + " x " + std::to_string(geometry.height / 2)))
      << "get_size answers " << size() << " for " << geometry.width << " x " << geometry.height
      << " pixels";
  const PngPixels picture(snapshot());
  ASSERT_TRUE(picture.valid());
  EXPECT_EQ(picture.width(), geometry.width);
  EXPECT_EQ(picture.height(), geometry.height);
  EXPECT_EQ(picture.at(2 * kCloseX, 2 * kButtonY), kClose);
  EXPECT_EQ(picture.at(2 * kBetweenX[0], 2 * kButtonY), kBackground);
}

// The desktop is chosen before anything appears; a choice that cannot be served ends the
// host with one line and status 2, before its engine socket exists.
TEST(ChoosingTheDesktop, AnUnknownDesktopOrAGtkDesktopWithoutADisplayEndsWithStatus2) {
  for (const auto& [desktop, display] :
       std::vector<std::pair<std::string, std::string>>{{"gtk", ""}, {"windows", ":0"}}) {
    test_support::TemporaryDirectory scratch;
    auto options = hostOptions();
    options.environment.insert(
        options.environment.end(),
        {{"TOLVEK_DESKTOP", desktop}, {"DISPLAY", display}, {"WAYLAND_DISPLAY", ""}});
    const auto result = startExpectingFailure(options, scratch.path() + "/stderr");
    ASSERT_TRUE(result.status.has_value()) << desktop << ": the host keeps running";
    EXPECT_TRUE(WIFEXITED(*result.status) && WEXITSTATUS(*result.status) == 2) << desktop;
    EXPECT_TRUE(isOneLine(result.standardError)) << result.standardError;
    EXPECT_TRUE(result.standardError.starts_with("tolvek: ")) << result.standardError;
    EXPECT_FALSE(result.madeSocket) << desktop;
  }
}

}  // namespace
