#include "platform/AppKit/NSSavePanel.h"

#include <gtest/gtest.h>

#include "platform/AppKit/NSOpenPanel.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/dispatch/RunLoop.h"

namespace {

using platform::PanelSetting;
using Strings = std::vector<std::string>;

TEST(NSSavePanel, RecordsEverySetterInCallOrder) {
  const auto panel = NSOpenPanel::openPanel();
  panel->setCanChooseFiles(true);
  panel->setDirectoryURL(URL::fileURLWithPath("/srv/a b/", true));
  panel->setTitle("T");
  panel->setCanChooseFiles(false);
  panel->setAllowedContentTypes({std::make_shared<UTType>("image/png"), nullptr});
  panel->setAllowedFileTypes({".PNG", "*"});
  panel->setAllowsMultipleSelection(true);
  EXPECT_EQ(panel->settings(),
            (std::vector<PanelSetting>{{"setCanChooseFiles:", true},
                                       {"setDirectoryURL:", "/srv/a b"},
                                       {"setTitle:", "T"},
                                       {"setCanChooseFiles:", false},
                                       {"setAllowedContentTypes:", Strings{"image/png"}},
                                       {"setAllowedFileTypes:", Strings{".PNG", "*"}},
                                       {"setAllowsMultipleSelection:", true}}));
  EXPECT_EQ(panel->className(), "NSOpenPanel");
  EXPECT_EQ(NSSavePanel::savePanel()->className(), "NSSavePanel");
}

TEST(NSSavePanel, TheAnswerReachesTheHandlerOnceFromTheMainQueue) {
  const auto window = std::make_shared<NSWindow>();
  const auto panel = NSOpenPanel::openPanel();
  std::vector<NSModalResponse> responses;
  panel->beginSheetModalForWindow(window,
                                  [&](NSModalResponse response) { responses.push_back(response); });
  EXPECT_EQ(platform::sheetPanel(window), panel);
  EXPECT_EQ(panel->sheetWindow(), window);

  EXPECT_TRUE(platform::answerSheet(
      window, NSModalResponseOK,
      {URL::fileURLWithPath("/b", false), URL::fileURLWithPath("/a", false)}));
  // The sheet ends at once; the handler runs from the run loop.
  EXPECT_EQ(window->attachedSheet(), nullptr);
  EXPECT_EQ(panel->sheetWindow(), nullptr);
  EXPECT_TRUE(responses.empty());
  platform::RunLoop::main().runUntilIdle();
  EXPECT_EQ(responses, std::vector<NSModalResponse>{NSModalResponseOK});
  EXPECT_EQ(panel->URL()->path(), "/b");
  ASSERT_EQ(panel->URLs().size(), 2u);
  EXPECT_EQ(panel->URLs()[1].path(), "/a");

  EXPECT_FALSE(platform::answerSheet(window, NSModalResponseCancel, {}));
  platform::RunLoop::main().runUntilIdle();
  EXPECT_EQ(responses.size(), 1u);
}

TEST(NSSavePanel, SheetsBegunTogetherShowOneAfterAnother) {
  const auto window = std::make_shared<NSWindow>();
  const auto first = NSSavePanel::savePanel();
  const auto second = NSOpenPanel::openPanel();
  std::vector<std::string> ended;
  first->beginSheetModalForWindow(window, [&](NSModalResponse) { ended.push_back("first"); });
  second->beginSheetModalForWindow(window, [&](NSModalResponse) { ended.push_back("second"); });
  EXPECT_EQ(platform::sheetPanel(window), first);
  EXPECT_TRUE(platform::answerSheet(window, NSModalResponseCancel, {}));
  EXPECT_EQ(platform::sheetPanel(window), second);
  EXPECT_FALSE(first->URL().has_value());
  EXPECT_TRUE(platform::answerSheet(window, NSModalResponseOK, {}));
  platform::RunLoop::main().runUntilIdle();
  EXPECT_EQ(ended, (Strings{"first", "second"}));
  EXPECT_EQ(platform::sheetPanel(window), nullptr);
}

TEST(NSSavePanel, TheHandlerLetsGoOfWhatItHoldsOnceItHasRun) {
  const auto window = std::make_shared<NSWindow>();
  std::weak_ptr<NSSavePanel> weakPanel;
  {
    const auto panel = NSSavePanel::savePanel();
    weakPanel = panel;
    // The handler holds the panel, as a dialog's handler does.
    panel->beginSheetModalForWindow(window, [panel](NSModalResponse) { (void)panel->URL(); });
  }
  EXPECT_FALSE(weakPanel.expired());
  platform::answerSheet(window, NSModalResponseOK, {});
  platform::RunLoop::main().runUntilIdle();
  EXPECT_TRUE(weakPanel.expired());
}

}  // namespace
