#include "macos/Runner/Clipboard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <thread>

#include "ClipboardTestSupport.h"

namespace {

using namespace clipboard_test;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::IsEmpty;

class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override { resetPasteboard(); }
};

TEST_F(ClipboardTest, ModeTypeIsTheApplicationsOwnReverseDNSName) {
  const NSPasteboardType& type = tolvekClipboardModeType();
  EXPECT_THAT(type, EndsWith(".clipboard-mode"));
  EXPECT_GE(std::count(type.begin(), type.end(), '.'), 2);
  EXPECT_EQ(type.find_first_of(" /:"), std::string::npos);
  // Made once: every caller, on every thread, gets the same object.
  const NSPasteboardType* fromAnotherThread = nullptr;
  std::thread([&] { fromAnotherThread = &tolvekClipboardModeType(); }).join();
  EXPECT_EQ(fromAnotherThread, &type);
}

TEST_F(ClipboardTest, WritesFileURLsInOrderAndTheCutMode) {
  tolvek_clipboard_write_files("/tmp/A\n\n/tmp/B\n", 1);
  EXPECT_THAT(fileURLStrings(), ElementsAre("file:///tmp/A", "file:///tmp/B"));
  EXPECT_EQ(mode(), "cut");
  EXPECT_EQ(tolvek_clipboard_is_cut(), 1);
  EXPECT_EQ(readFiles(), "/tmp/A\n/tmp/B");
}

TEST_F(ClipboardTest, AnEmptyListClearsThePasteboardAndStillStoresTheMode) {
  tolvek_clipboard_write_files("/tmp/old", 1);
  const int64_t before = NSPasteboard::generalPasteboard()->changeCount();
  tolvek_clipboard_write_files("", 0);
  const auto contents = platform::generalPasteboardContents();
  EXPECT_GT(contents.changeCount, before);
  EXPECT_THAT(fileURLStrings(contents), IsEmpty());
  ASSERT_EQ(contents.items.size(), 1u);
  EXPECT_THAT(contents.items[0].types(), ElementsAre(tolvekClipboardModeType()));
  EXPECT_EQ(mode(), "copy");
  EXPECT_EQ(readFiles(), "");
  EXPECT_EQ(tolvek_clipboard_is_cut(), 0);

  // Line feeds alone make no path either.
  tolvek_clipboard_write_files("\n\n\n", 1);
  EXPECT_THAT(fileURLStrings(), IsEmpty());
  EXPECT_EQ(tolvek_clipboard_is_cut(), 1);
}

TEST_F(ClipboardTest, ANullListLeavesThePasteboardExactlyAsItWas) {
  tolvek_clipboard_write_files("/tmp/kept", 1);
  const auto before = platform::generalPasteboardContents();
  tolvek_clipboard_write_files(nullptr, 0);
  const auto after = platform::generalPasteboardContents();
  EXPECT_EQ(after.changeCount, before.changeCount);
  EXPECT_EQ(after.items, before.items);
  EXPECT_EQ(tolvek_clipboard_is_cut(), 1);
}

TEST_F(ClipboardTest, AnyNonZeroModeIsCut) {
  for (const int32_t mode : {1, -1, 2, INT32_MAX, INT32_MIN}) {
    tolvek_clipboard_write_files("/tmp/a", 0);
    tolvek_clipboard_write_files("/tmp/a", mode);
    EXPECT_EQ(clipboard_test::mode(), "cut") << mode;
    EXPECT_EQ(tolvek_clipboard_is_cut(), 1) << mode;
  }
}

TEST_F(ClipboardTest, OnlyTheExactModeCutCounts) {
  EXPECT_EQ(tolvek_clipboard_is_cut(), 0);  // no mode at all
  for (const char* text : {"copy", "CUT", "cut ", "", "cutting"}) {
    platform::writeGeneralPasteboardFromAnotherApplication({{{tolvekClipboardModeType(), text}}});
    EXPECT_EQ(tolvek_clipboard_is_cut(), 0) << text;
  }
  // The mode alone decides, whether or not files are there.
  platform::writeGeneralPasteboardFromAnotherApplication({{{tolvekClipboardModeType(), "cut"}}});
  EXPECT_EQ(tolvek_clipboard_is_cut(), 1);
  EXPECT_EQ(readFiles(), "");
}

TEST_F(ClipboardTest, CarriageReturnLineFeedStaysInsideOnePath) {
  tolvek_clipboard_write_files("/tmp/X\r\n/tmp/Y", 0);
  EXPECT_THAT(fileURLStrings(), ElementsAre("file:///tmp/X%0D%0A/tmp/Y"));
  // Read back, that one path would be two to a reader that splits at line feeds.
  EXPECT_EQ(readFiles(), "");
}

TEST_F(ClipboardTest, ReadSkipsURLsWithALineFeedOrNoPath) {
  platform::writeGeneralPasteboardFromAnotherApplication(
      {{{NSPasteboardTypeFileURL, "file:///Users/me/invoice.pdf%0A/Users/me/.ssh/id_ed25519"}},
       {{NSPasteboardTypeFileURL, "file:///tmp/kept"}},
       {{NSPasteboardTypeFileURL, "file:///tmp/cr%0D%0Alf"}},
       {{NSPasteboardTypeFileURL, "file:"}},
       {{NSPasteboardTypeFileURL, "file://localhost"}},
       {{NSPasteboardTypeFileURL, "file:///tmp/also%20kept"}}});
  EXPECT_EQ(readFiles(), "/tmp/kept\n/tmp/also kept");
}

TEST_F(ClipboardTest, AnotherApplicationsWriteTakesTheModeAway) {
  tolvek_clipboard_write_files("/tmp/mine", 1);
  platform::writeGeneralPasteboardFromAnotherApplication(
      {{{NSPasteboardTypeFileURL, "file:///other/one"}},
       {{NSPasteboardTypeFileURL, "file:///other/two%20words"}}});
  EXPECT_EQ(tolvek_clipboard_is_cut(), 0);
  EXPECT_EQ(readFiles(), "/other/one\n/other/two words");
}

TEST_F(ClipboardTest, ASingleFileComesBackWithoutALineFeed) {
  tolvek_clipboard_write_files("/tmp/only\n", 0);
  EXPECT_EQ(readFiles(), "/tmp/only");
}

TEST_F(ClipboardTest, WebLinksAndTextReadAsNoFiles) {
  platform::writeGeneralPasteboardFromAnotherApplication(
      {{{NSPasteboardTypeURL, "https://example.org/a"}},
       {{NSPasteboardTypeURL, "mailto:someone@example.org"}},
       {{NSPasteboardTypeString, "/tmp/looks/like/a/path"}}});
  EXPECT_EQ(readFiles(), "");
  // Next to file URLs, they are passed over.
  platform::writeGeneralPasteboardFromAnotherApplication(
      {{{NSPasteboardTypeURL, "https://example.org/a"}}, {{NSPasteboardTypeFileURL, "file:///f"}}});
  EXPECT_EQ(readFiles(), "/f");
}

TEST_F(ClipboardTest, EveryReadIsTheCallersOwnCopy) {
  tolvek_clipboard_write_files("/tmp/a\n/tmp/b", 0);
  char* first = tolvek_clipboard_read_files();
  char* second = tolvek_clipboard_read_files();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  first[0] = 'X';
  EXPECT_STREQ(second, "/tmp/a\n/tmp/b");
  tolvek_clipboard_free(first);
  tolvek_clipboard_free(second);
  tolvek_clipboard_free(nullptr);  // accepted, does nothing

  resetPasteboard();
  char* empty = tolvek_clipboard_read_files();
  ASSERT_NE(empty, nullptr);  // an empty string, never a null pointer
  EXPECT_STREQ(empty, "");
  tolvek_clipboard_free(empty);
}

TEST_F(ClipboardTest, PathsSurviveAWriteAndAReadUnchanged) {
  const std::vector<std::string> paths = {
      "/tmp/with space/and  two",
      "/tmp/na\xC3\xAFve/\xC3\xA9t\xC3\xA9/\xE6\x97\xA5\xE6\x9C\xAC",
      "/tmp/emoji \xF0\x9F\x98\x80",
      "/tmp/100%",
      "/tmp/%41%zz",
      "/tmp/#hash",
      "/tmp/what?",
      "/tmp/a?b#c%d",
      "/tmp/lone\rcr",
      "/tmp/ends with cr\r",
      "/tmp/ trailing space ",
      "/tmp/tab\there",
      "/tmp/sym!$&'()*+,;=:@~"};
  for (const auto& path : paths) {
    tolvek_clipboard_write_files(path.c_str(), 1);
    EXPECT_EQ(readFiles(), path);
    // The URL text itself is printable ASCII with no raw space, "#" or "?".
    const auto urls = fileURLStrings();
    ASSERT_EQ(urls.size(), 1u) << path;
    EXPECT_TRUE(std::all_of(urls[0].begin(), urls[0].end(), [](char c) {
      return c > ' ' && c < 0x7F && c != '#' && c != '?';
    })) << urls[0];
  }
  // All at once, in order.
  std::string list;
  for (const auto& path : paths) list += path + "\n";
  tolvek_clipboard_write_files(list.c_str(), 0);
  // The path that ends with a CR and its LF make one CR LF character, so that path and the
  // next are one; with a line feed inside, it is not read back.
  EXPECT_EQ(fileURLStrings().size(), paths.size() - 1);
  std::string readable;
  for (const auto& path : paths)
    if (path.back() != '\r' && path != "/tmp/ trailing space ") readable += path + "\n";
  EXPECT_EQ(readFiles(), readable.substr(0, readable.size() - 1));
}

TEST_F(ClipboardTest, RelativePathsAreTakenFromTheCurrentDirectory) {
  const std::string cwd = std::filesystem::current_path().string();
  tolvek_clipboard_write_files("relative/file\n./dot", 0);
  EXPECT_EQ(readFiles(), cwd + "/relative/file\n" + cwd + "/./dot");
}

TEST_F(ClipboardTest, ADirectoryIsWrittenAsADirectoryURLAndReadWithoutTheSlash) {
  const auto directory = std::filesystem::temp_directory_path();
  tolvek_clipboard_write_files(directory.c_str(), 0);
  const auto urls = fileURLStrings();
  ASSERT_EQ(urls.size(), 1u);
  EXPECT_THAT(urls[0], EndsWith("/"));
  EXPECT_EQ(readFiles(), directory.string());
}

TEST_F(ClipboardTest, IllFormedUTF8BecomesReplacementCharacters) {
  tolvek_clipboard_write_files(
      "/tmp/a\xFF"
      "b\n/tmp/\xE2\x82",
      0);
  EXPECT_EQ(readFiles(),
            "/tmp/a\xEF\xBF\xBD"
            "b\n/tmp/\xEF\xBF\xBD");
  // Bytes that another application's URL escapes decode to come out as UTF-8 all the same.
  platform::writeGeneralPasteboardFromAnotherApplication(
      {{{NSPasteboardTypeFileURL, "file:///x%FFy"}}});
  EXPECT_EQ(readFiles(), "/x\xEF\xBF\xBDy");
}

TEST_F(ClipboardTest, AHundredThousandPathsGoAndComeBackInOrder) {
  std::string list;
  for (int i = 0; i < 100000; ++i) list += "/tmp/many/file " + std::to_string(i) + "\n";
  tolvek_clipboard_write_files(list.c_str(), 1);
  EXPECT_EQ(fileURLStrings().size(), 100000u);
  EXPECT_EQ(readFiles(), list.substr(0, list.size() - 1));
  EXPECT_EQ(tolvek_clipboard_is_cut(), 1);
}

}  // namespace
