#include <gtest/gtest.h>

#include "support/DesktopFixture.h"

namespace {

class CloseRefuser : public NSWindowDelegate {
 public:
  bool windowShouldClose(const std::shared_ptr<NSWindow>&) override {
    ++asked;
    return false;
  }
  int asked = 0;
};

using WindowButtons = DesktopTest;

std::vector<bool> buttonsPresent(const NSWindow& window) {
  return {window.standardWindowButton(NSWindowCloseButton) != nullptr,
          window.standardWindowButton(NSWindowMiniaturizeButton) != nullptr,
          window.standardWindowButton(NSWindowZoomButton) != nullptr};
}

TEST_F(WindowButtons, TheStyleDecidesWhichButtonsExist) {
  EXPECT_EQ(buttonsPresent(*makeWindow()), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(buttonsPresent(*makeWindow(NSMakeRect(0, 0, 100, 100),
                                       NSWindowStyleMaskTitled | NSWindowStyleMaskClosable |
                                           NSWindowStyleMaskMiniaturizable)),
            (std::vector<bool>{true, true, false}))
      << "a fixed-size window has no zoom button";
  EXPECT_EQ(buttonsPresent(*makeWindow(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled)),
            (std::vector<bool>{false, false, false}));
  EXPECT_EQ(buttonsPresent(*makeWindow(NSMakeRect(0, 0, 100, 100),
                                       kStandardWindowStyle & ~NSWindowStyleMaskTitled)),
            (std::vector<bool>{false, false, false}))
      << "an untitled window has no title bar";

  const auto window = makeWindow();
  window->setStyleMask(window->styleMask() & ~NSWindowStyleMaskResizable);
  EXPECT_EQ(buttonsPresent(*window), (std::vector<bool>{true, true, false}));
  window->setStyleMask(window->styleMask() | NSWindowStyleMaskResizable);
  EXPECT_EQ(buttonsPresent(*window), (std::vector<bool>{true, true, true}));
}

TEST_F(WindowButtons, ButtonsSitInATitleBarTwentyEightPointsTall) {
  const auto window = makeWindow(NSMakeRect(100, 100, 800, 600));
  for (const auto kind : {NSWindowCloseButton, NSWindowMiniaturizeButton, NSWindowZoomButton}) {
    const auto button = window->standardWindowButton(kind);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->frame().size, NSMakeSize(14, 16));
    EXPECT_EQ(button->frame().origin, NSMakePoint(7 + 20 * kind, 6));
    const auto titlebar = button->superview();
    ASSERT_NE(titlebar, nullptr);
    EXPECT_EQ(titlebar->frame(), NSMakeRect(0, 600, 800, 28));
    EXPECT_EQ(button->window(), window);
  }
  window->setFrame(NSMakeRect(100, 100, 500, 400), true);
  EXPECT_EQ(window->standardWindowButton(NSWindowCloseButton)->superview()->frame(),
            NSMakeRect(0, 372, 500, 28))
      << "the title bar follows the window's width and top";
}

TEST_F(WindowButtons, LayingOutTheTitleBarPutsButtonsBackButKeepsTheirSize) {
  const auto window = makeVisibleWindow();
  const auto other = makeVisibleWindow();
  const auto close = window->standardWindowButton(NSWindowCloseButton);
  close->setFrame(NSMakeRect(40, 2, 14, 14));
  const NSPoint standard = NSMakePoint(7, 7);  // centred in 28 points at 14 points tall

  window->setFrame(NSMakeRect(0, 0, 900, 700), true);
  EXPECT_EQ(close->frame(), NSMakeRect(7, 7, 14, 14)) << "after a resize";

  close->setFrameOrigin(NSMakePoint(40, 2));
  window->makeKeyWindow();
  EXPECT_EQ(close->frame().origin, standard) << "after becoming key";

  close->setFrameOrigin(NSMakePoint(40, 2));
  window->makeMainWindow();
  EXPECT_EQ(close->frame().origin, standard) << "after becoming main";

  window->toggleFullScreen(nullptr);
  close->setFrameOrigin(NSMakePoint(40, 2));
  window->toggleFullScreen(nullptr);
  EXPECT_EQ(close->frame().origin, standard) << "after leaving full screen";

  close->setFrameOrigin(NSMakePoint(40, 2));
  window->setFrame(NSMakeRect(10, 10, 900, 700), true);
  EXPECT_EQ(close->frame().origin, NSMakePoint(40, 2)) << "a move alone lays nothing out";
}

TEST_F(WindowButtons, ClickingAButtonActsAsTheUserDoes) {
  const auto window = makeVisibleWindow();
  const auto refuser = std::make_shared<CloseRefuser>();
  window->setDelegate(refuser);

  window->standardWindowButton(NSWindowCloseButton)->performClick(nullptr);
  EXPECT_EQ(refuser->asked, 1) << "the close button goes through the delegate";
  EXPECT_TRUE(window->isVisible());

  window->standardWindowButton(NSWindowZoomButton)->performClick(nullptr);
  EXPECT_TRUE(window->isZoomed());

  window->standardWindowButton(NSWindowMiniaturizeButton)->performClick(nullptr);
  EXPECT_TRUE(window->isMiniaturized());
}

}  // namespace
