#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ClipboardTestSupport.h"
#include "macos/Flutter/engine/DesktopControl.h"

namespace {

using namespace clipboard_test;

FlutterMethodReply desktop(const std::string& method, EncodableValue arguments = {}) {
  return DesktopControl::shared().handle(
      FlutterMethodCall::methodCallWithMethodName(method, std::move(arguments)));
}

class DesktopPasteboardTest : public ::testing::Test {
 protected:
  void SetUp() override { resetPasteboard(); }
};

TEST_F(DesktopPasteboardTest, PasteboardReportsTheChangeCountAndEveryItemsTypes) {
  tolvek_clipboard_write_files("/tmp/a b\n/tmp/c", 1);
  const auto reply = desktop("pasteboard");
  const auto* value = std::get_if<EncodableValue>(&reply);
  ASSERT_NE(value, nullptr);
  const EncodableValue expected = EncodableMap{
      {"changeCount", EncodableValue(NSPasteboard::generalPasteboard()->changeCount())},
      {"items", EncodableList{EncodableMap{{NSPasteboardTypeFileURL, "file:///tmp/a%20b"},
                                           {tolvekClipboardModeType(), "cut"}},
                              EncodableMap{{NSPasteboardTypeFileURL, "file:///tmp/c"}}}}};
  EXPECT_EQ(*value, expected);
}

TEST_F(DesktopPasteboardTest, WritePasteboardIsAnotherApplicationTakingThePasteboard) {
  tolvek_clipboard_write_files("/tmp/mine", 1);
  const int64_t before = NSPasteboard::generalPasteboard()->changeCount();
  const auto reply = desktop(
      "writePasteboard",
      EncodableMap{{"items", EncodableList{EncodableMap{{"public.file-url", "file:///o/1"},
                                                        {"public.utf8-plain-text", "1"}},
                                           EncodableMap{{"public.file-url", "file:///o/%232"}}}}});
  EXPECT_EQ(reply, FlutterMethodReply(EncodableValue()));
  EXPECT_EQ(NSPasteboard::generalPasteboard()->changeCount(), before + 1);
  EXPECT_EQ(tolvek_clipboard_is_cut(), 0);
  EXPECT_EQ(readFiles(), "/o/1\n/o/#2");

  // An empty list leaves an empty pasteboard.
  desktop("writePasteboard", EncodableMap{{"items", EncodableList{}}});
  EXPECT_TRUE(platform::generalPasteboardContents().items.empty());
}

TEST_F(DesktopPasteboardTest, BadItemsAreRefusedAndChangeNothing) {
  tolvek_clipboard_write_files("/tmp/kept", 1);
  const auto before = platform::generalPasteboardContents();
  const EncodableValue bad[] = {
      EncodableValue(),
      EncodableMap{},
      EncodableMap{{"items", "public.file-url"}},
      EncodableMap{{"items", EncodableList{"file:///x"}}},
      EncodableMap{{"items", EncodableList{EncodableMap{{"public.file-url", int32_t{1}}}}}},
      EncodableMap{{"items", EncodableList{EncodableMap{{int32_t{1}, "file:///x"}}}}},
      // A good item before a bad one is not written either.
      EncodableMap{{"items", EncodableList{EncodableMap{{"public.file-url", "file:///x"}},
                                           EncodableValue()}}},
  };
  for (const auto& arguments : bad) {
    const auto reply = desktop("writePasteboard", arguments);
    const auto* error = std::get_if<FlutterError>(&reply);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code, "bad-arguments");
  }
  const auto after = platform::generalPasteboardContents();
  EXPECT_EQ(after.changeCount, before.changeCount);
  EXPECT_EQ(after.items, before.items);
  EXPECT_EQ(tolvek_clipboard_is_cut(), 1);
}

}  // namespace
