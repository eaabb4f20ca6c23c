#include <gtest/gtest.h>

#include "file_picker/FilePickerFixture.h"
#include "macos/Flutter/engine/DesktopControl.h"
#include "macos/Flutter/engine/DesktopWindowMap.h"
#include "platform/AppKit/NSApplication.h"
#include "platform/desktop/WindowServerControl.h"

using namespace file_picker_test;

namespace {

// The sheets of the file dialogs as a peer sees and answers them through DESKTOP calls.
class DesktopSheet : public FilePickerTest {
 protected:
  void SetUp() override {
    fake.entitlements = {{kReadWrite, true}};
    fake.types = {{"png", "image/png"}};
    FilePickerTest::SetUp();
  }
  FlutterMethodReply desktop(const std::string& method, EncodableMap arguments) {
    arguments.set("window", EncodableValue(int64_t{window->windowNumber()}));
    return DesktopControl::shared().handle({method, std::move(arguments)});
  }
  static bool isBadArguments(const FlutterMethodReply& reply) {
    const auto* error = std::get_if<FlutterError>(&reply);
    return error && error->code == "bad-arguments";
  }
};

TEST_F(DesktopSheet, SheetReportsThePanelAndEverySettingInCallOrder) {
  EXPECT_EQ(desktop("sheet", {}), nullReply());
  const PendingReply reply =
      send("saveFile", EncodableMap{{"dialogTitle", "Save as"},
                                    {"initialDirectory", "/home/ann"},
                                    {"allowedExtensions", strings({"png", "none"})}});
  const EncodableValue expected = EncodableMap{
      {"class", "NSSavePanel"},
      {"settings", EncodableList{EncodableList{"setTitle:", "Save as"},
                                 EncodableList{"setShowsTagField:", false},
                                 EncodableList{"setShowsHiddenFiles:", false},
                                 EncodableList{"setCanCreateDirectories:", true},
                                 EncodableList{"setNameFieldStringValue:", ""},
                                 EncodableList{"setDirectoryURL:", "/home/ann"},
                                 EncodableList{"setAllowedContentTypes:", strings({"image/png"})}}},
  };
  EXPECT_EQ(desktop("sheet", {}), valueReply(expected));
  // The window map reports the same sheet.
  EXPECT_EQ(*desktopWindowMap(window).find("sheet"), expected);

  EXPECT_EQ(desktop("answerSheet", {{"response", 1}, {"urls", strings({"/home/ann/x.png"})}}),
            nullReply());
  EXPECT_EQ(reply.wait(), valueReply("/home/ann/x.png"));
  EXPECT_EQ(desktop("sheet", {}), nullReply());
}

TEST_F(DesktopSheet, AnsweringWithoutURLsOrWithCancel) {
  const PendingReply open = send("pickFiles", EncodableMap{{"allowMultiple", true}});
  EXPECT_EQ(desktop("answerSheet", {{"response", int64_t{1}}}), nullReply());
  EXPECT_EQ(open.wait(), nullReply());
  const PendingReply cancelled = send("getDirectoryPath");
  EXPECT_EQ(desktop("answerSheet", {{"response", 0}, {"urls", strings({"/d"})}}), nullReply());
  EXPECT_EQ(cancelled.wait(), nullReply());
}

TEST_F(DesktopSheet, TheMainWindowIsMeantWhenNoneIsNamed) {
  platform::WindowServerControl::setInterfaceWindow(window);
  const PendingReply reply = send("pickFileAndDirectoryPaths");
  const auto sheet = DesktopControl::shared().handle({"sheet", EncodableValue()});
  ASSERT_TRUE(std::holds_alternative<EncodableValue>(sheet));
  EXPECT_EQ(*std::get<EncodableValue>(sheet).map()->find("class"), EncodableValue("NSOpenPanel"));
  EXPECT_EQ(DesktopControl::shared().handle(
                {"answerSheet", EncodableMap{{"response", 1}, {"urls", strings({"/a", "/b"})}}}),
            nullReply());
  EXPECT_EQ(reply.wait(), valueReply(strings({"/a", "/b"})));
}

TEST_F(DesktopSheet, BadArgumentsAreRefusedAndLeaveTheSheetWaiting) {
  EXPECT_TRUE(isBadArguments(desktop("answerSheet", {{"response", 1}})));  // no sheet
  const PendingReply reply = send("saveFile");
  for (const EncodableMap& arguments :
       {EncodableMap{}, EncodableMap{{"response", "1"}}, EncodableMap{{"response", 1.0}},
        EncodableMap{{"response", 1}, {"urls", "/a"}},
        EncodableMap{{"response", 1}, {"urls", EncodableList{"/a", 2}}},
        EncodableMap{{"response", 1}, {"urls", strings({""})}}}) {
    EXPECT_TRUE(isBadArguments(desktop("answerSheet", arguments)));
  }
  EXPECT_TRUE(isBadArguments(
      DesktopControl::shared().handle({"sheet", EncodableMap{{"window", int64_t{987654}}}})));
  EXPECT_TRUE(isBadArguments(DesktopControl::shared().handle({"sheet", EncodableValue("w")})));
  EXPECT_FALSE(reply.arrived());
  ASSERT_NE(sheet(), nullptr);
  EXPECT_EQ(answer(reply, NSModalResponseOK, {"/ok"}), valueReply("/ok"));
}

}  // namespace
