// The desktop model draws a window off screen as a real desktop shows it: a plain
// background, title band included, and the standard buttons as discs at their frames.

#include <gtest/gtest.h>

#include "platform/desktop/WindowServerControl.h"
#include "support/DesktopFixture.h"
#include "support/PngPixels.h"

namespace {

constexpr uint32_t kBackground = 0x2B2B2B;
constexpr uint32_t kInactive = 0xDDDDDC;
constexpr uint32_t kColours[] = {0xFF5F57, 0xFEBC2E, 0x28C840};

class WindowSnapshot : public DesktopTest {
 protected:
  // The centre of standard button `kind` in pixels of the picture: the model's title bar
  // puts buttons 14 by 16 points at x 7, 27 and 47, centred in its 28 points; the default
  // screen has 2 pixels per point.
  static int centreX(int kind) { return 2 * (7 + 20 * kind + 7); }
  static constexpr int kCentreY = 2 * 14;
};

TEST_F(WindowSnapshot, AKeyWindowShowsItsButtonsInTheirColoursOnTheBackground) {
  const auto window = makeVisibleWindow(NSMakeRect(100, 100, 400, 300));
  const PngPixels picture(platform::WindowServerControl::snapshot(*window));
  ASSERT_TRUE(picture.valid());
  EXPECT_EQ(picture.width(), 800);
  EXPECT_EQ(picture.height(), 2 * (300 + 28)) << "the title bar is drawn too";
  for (int kind = 0; kind < 3; ++kind) {
    EXPECT_EQ(picture.at(centreX(kind), kCentreY), kColours[kind]) << kind;
    EXPECT_EQ(picture.at(centreX(kind) + 20, kCentreY), kBackground) << "beside " << kind;
  }
  EXPECT_EQ(picture.at(400, 400), kBackground);
}

TEST_F(WindowSnapshot, AWindowThatIsNotKeyShowsGreyButtonsAndAMovedButtonWhereItIs) {
  const auto window = makeWindow(NSMakeRect(100, 100, 400, 300));
  const auto close = window->standardWindowButton(NSWindowCloseButton);
  close->setFrameOrigin(NSMakePoint(100, 6));
  const PngPixels picture(platform::WindowServerControl::snapshot(*window));
  ASSERT_TRUE(picture.valid());
  EXPECT_EQ(picture.at(2 * (100 + 7), kCentreY), kInactive);
  EXPECT_EQ(picture.at(centreX(0), kCentreY), kBackground) << "the close button moved away";
  EXPECT_EQ(picture.at(centreX(1), kCentreY), kInactive);
}

TEST_F(WindowSnapshot, AWindowNoScreenCouldShowHasNoPicture) {
  const auto window = makeWindow(NSMakeRect(0, 0, 1e7, 300));
  EXPECT_TRUE(platform::WindowServerControl::snapshot(*window).empty());
}

}  // namespace
