#include <gtest/gtest.h>

#include "platform/AppKit/NSScreen.h"
#include "platform/desktop/model/ModelScreens.h"
#include "platform/machine/MachineProfile.h"
#include "support/DesktopFixture.h"

namespace {

using platform::MachineProfile;

class Screens : public DesktopTest {
 protected:
  void TearDown() override {
    MachineProfile::setCurrentForTesting(MachineProfile());
    DesktopTest::TearDown();
  }
};

TEST_F(Screens, WithoutAProfileThereIsOneRetinaScreen) {
  MachineProfile::setCurrentForTesting(MachineProfile());
  platform::resetScreens();
  const auto screens = NSScreen::screens();
  ASSERT_EQ(screens.size(), 1u);
  EXPECT_EQ(NSScreen::mainScreen(), screens[0]);
  EXPECT_EQ(screens[0]->frame(), NSMakeRect(0, 0, 1440, 900));
  EXPECT_EQ(screens[0]->visibleFrame(), NSMakeRect(0, 0, 1440, 875)) << "less the menu bar";
  EXPECT_EQ(screens[0]->backingScaleFactor(), 2.0);
}

TEST_F(Screens, TheProfileNamesTheScreensAndTheMainOne) {
  MachineProfile::setCurrentForTesting(MachineProfile::parse(R"({
    "screens": [{"frame": [0, 0, 1512, 982], "backingScaleFactor": 2.0},
                {"frame": [1512, 0, 1920, 1080], "backingScaleFactor": 1.0}],
    "mainScreen": 1})"));
  platform::resetScreens();
  const auto screens = NSScreen::screens();
  ASSERT_EQ(screens.size(), 2u);
  EXPECT_EQ(NSScreen::mainScreen(), screens[1]);
  EXPECT_EQ(screens[1]->visibleFrame(), NSMakeRect(1512, 0, 1920, 1055));
  EXPECT_EQ(screens[1]->backingScaleFactor(), 1.0);
}

TEST_F(Screens, AProfileMayNameNoMainScreenOrNoScreens) {
  MachineProfile::setCurrentForTesting(
      MachineProfile::parse(R"({"screens": [{"frame": [0, 0, 800, 600]}], "mainScreen": null})"));
  platform::resetScreens();
  EXPECT_EQ(NSScreen::screens().size(), 1u);
  EXPECT_EQ(NSScreen::mainScreen(), nullptr);

  MachineProfile::setCurrentForTesting(MachineProfile::parse(R"({"screens": []})"));
  platform::resetScreens();
  EXPECT_TRUE(NSScreen::screens().empty());
  EXPECT_EQ(NSScreen::mainScreen(), nullptr);
  const auto window = makeWindow();
  EXPECT_EQ(window->screen(), nullptr);
  EXPECT_EQ(window->backingScaleFactor(), 1.0);
  window->zoom(nullptr);
  EXPECT_FALSE(window->isZoomed()) << "no screen to zoom to";
}

}  // namespace
