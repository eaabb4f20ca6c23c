// Another program's clipboard formats read back as pasteboard items, and the general
// pasteboard while another program's contents are current, with a stand-in desktop
// clipboard in place of a real one.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>

#include "platform/AppKit/NSPasteboard.h"
#include "platform/desktop/FileClipboardFormats.h"
#include "platform/desktop/PasteboardServer.h"

namespace {

namespace formats = platform::clipboard_formats;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kMode = "com.example.mode";

NSPasteboardItem fileItem(const std::string& url) {
  return NSPasteboardItem{{NSPasteboardTypeFileURL, url}};
}
NSPasteboardItem fileItemWithMode(const std::string& url, const std::string& mode) {
  auto item = fileItem(url);
  item.setString(mode, kMode);
  return item;
}

TEST(DesktopClipboardFormats, FileManagersListsBecomeLocalFileURLItemsWithTheirMode) {
  // GNOME's form: the mode first; a list without it is a copy of what it names.
  EXPECT_THAT(
      formats::itemsOfFetched({{formats::kGnomeCopiedFiles, "cut\nfile:///a\nfile:///b\n"}}, kMode),
      ElementsAre(fileItemWithMode("file:///a", "cut"), fileItem("file:///b")));
  // A URI list: comments, other schemes and other hosts left out, CR LF or LF, localhost
  // as the local host; KDE's mark makes it a cut.
  const std::string list =
      "# comment\r\nfile:///one\r\nhttps://example.org/x\r\nfile://LOCALHOST/two\n"
      "file://elsewhere/three\r\nfile:relative\r\n\r\nfile:///four";
  EXPECT_THAT(formats::itemsOfFetched({{formats::kUriList, list}}, kMode),
              ElementsAre(fileItemWithMode("file:///one", "copy"), fileItem("file:///two"),
                          fileItem("file:///four")));
  EXPECT_THAT(formats::itemsOfFetched(
                  {{formats::kUriList, "file:///one"}, {formats::kKdeCutSelection, "1"}}, kMode),
              ElementsAre(fileItemWithMode("file:///one", "cut")));
  // Another instance's own mode type wins; without a declared type no mode is kept.
  EXPECT_THAT(formats::itemsOfFetched(
                  {{formats::kGnomeCopiedFiles, "copy\nfile:///a"}, {kMode, "cut"}}, kMode),
              ElementsAre(fileItemWithMode("file:///a", "cut")));
  EXPECT_THAT(formats::itemsOfFetched({{formats::kGnomeCopiedFiles, "cut\nfile:///a"}}, {}),
              ElementsAre(fileItem("file:///a")));
  // Plain text when no files are named; nothing at all for nothing.
  EXPECT_THAT(formats::itemsOfFetched({{formats::kUtf8String, "words"}}, kMode),
              ElementsAre(NSPasteboardItem{{NSPasteboardTypeString, "words"}}));
  EXPECT_THAT(formats::itemsOfFetched({}, kMode), IsEmpty());
}

TEST(DesktopClipboardFormats, FilesAreFetchedInTheRichestFormOffered) {
  EXPECT_THAT(formats::targetsToFetch({"TARGETS", formats::kUriList, formats::kGnomeCopiedFiles,
                                       formats::kUtf8String, kMode},
                                      kMode),
              ElementsAre(kMode, formats::kGnomeCopiedFiles));
  EXPECT_THAT(formats::targetsToFetch(
                  {formats::kKdeCutSelection, formats::kUriList, formats::kPlainText}, kMode),
              ElementsAre(formats::kUriList, formats::kKdeCutSelection));
  EXPECT_THAT(formats::targetsToFetch({formats::kPlainText, "image/png"}, kMode),
              ElementsAre(formats::kPlainText));
}

// Answers fetches with the items it is given, counting them; no answer when it has none.
class StandInClipboard : public platform::PasteboardServer {
 public:
  void offerOwnContents() override { ++offers; }
  std::optional<std::vector<NSPasteboardItem>> fetchForeignContents() override {
    ++fetches;
    return answer;
  }
  std::atomic<int> offers = 0, fetches = 0;
  std::optional<std::vector<NSPasteboardItem>> answer;
};

class ForeignContents : public ::testing::Test {
 protected:
  void SetUp() override { platform::installPasteboardServer(&clipboard); }
  void TearDown() override {
    pasteboard->clearContents();
    platform::installPasteboardServer(nullptr);
  }
  StandInClipboard clipboard;
  std::shared_ptr<NSPasteboard> pasteboard = NSPasteboard::generalPasteboard();
};

TEST_F(ForeignContents, AreFetchedOncePerChangeAndReplaceTheApplicationsOwn) {
  pasteboard->clearContents();
  ASSERT_TRUE(pasteboard->setString("mine", NSPasteboardTypeString));
  EXPECT_EQ(clipboard.offers, 2);

  clipboard.answer = {{fileItem("file:///theirs")}};
  const int64_t count = platform::anotherProgramTookGeneralPasteboard();
  EXPECT_EQ(pasteboard->changeCount(), count);
  EXPECT_EQ(pasteboard->stringForType(NSPasteboardTypeString), std::nullopt);
  EXPECT_EQ(pasteboard->stringForType(NSPasteboardTypeFileURL), "file:///theirs");
  EXPECT_EQ(pasteboard->pasteboardItems().size(), 1u);
  EXPECT_EQ(clipboard.fetches, 1) << "the contents of one change are fetched once";
  // The former owner's thread writes nothing until it clears again.
  EXPECT_FALSE(pasteboard->setString("late", NSPasteboardTypeString));

  // A change of hands between other programs fetches again.
  clipboard.answer = {{fileItem("file:///newer")}};
  platform::anotherProgramTookGeneralPasteboard();
  EXPECT_EQ(pasteboard->stringForType(NSPasteboardTypeFileURL), "file:///newer");
  EXPECT_EQ(clipboard.fetches, 2);
}

TEST_F(ForeignContents, AnUnansweredFetchReadsEmptyAndIsAskedAgain) {
  platform::anotherProgramTookGeneralPasteboard();
  EXPECT_THAT(pasteboard->pasteboardItems(), IsEmpty());
  clipboard.answer = {{fileItem("file:///late")}};
  EXPECT_EQ(pasteboard->stringForType(NSPasteboardTypeFileURL), "file:///late");
  EXPECT_EQ(clipboard.fetches, 2);
  EXPECT_THROW(platform::writeGeneralPasteboardFromAnotherApplication({}), std::invalid_argument);
}

}  // namespace
