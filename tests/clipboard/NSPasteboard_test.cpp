#include "platform/AppKit/NSPasteboard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Optional;

URL webLink(const std::string& text) { return *URL::fromString(text); }

std::vector<std::string> pathsOf(const std::vector<NSPasteboardObject>& objects) {
  std::vector<std::string> paths;
  for (const auto& object : objects) paths.push_back(std::get<URL>(object).path());
  return paths;
}

class NSPasteboardTest : public ::testing::Test {
 protected:
  void SetUp() override { pasteboard->clearContents(); }

  std::shared_ptr<NSPasteboard> pasteboard = NSPasteboard::generalPasteboard();
};

TEST_F(NSPasteboardTest, GeneralPasteboardIsOneObject) {
  EXPECT_EQ(NSPasteboard::generalPasteboard(), pasteboard);
  std::shared_ptr<NSPasteboard> fromAnotherThread;
  std::thread([&] { fromAnotherThread = NSPasteboard::generalPasteboard(); }).join();
  EXPECT_EQ(fromAnotherThread, pasteboard);
}

TEST_F(NSPasteboardTest, ClearingEmptiesThePasteboardAndRaisesTheChangeCount) {
  pasteboard->setString("x", NSPasteboardTypeString);
  const int64_t before = pasteboard->changeCount();
  EXPECT_EQ(pasteboard->clearContents(), before + 1);
  EXPECT_EQ(pasteboard->changeCount(), before + 1);
  EXPECT_THAT(pasteboard->pasteboardItems(), IsEmpty());
  EXPECT_THAT(pasteboard->types(), IsEmpty());
  // Writing does not change the count; only clearing does.
  pasteboard->writeObjects({URL::fileURLWithPath("/a", false)});
  EXPECT_EQ(pasteboard->changeCount(), before + 1);
}

TEST_F(NSPasteboardTest, EachWrittenObjectBecomesOneItemOfItsKind) {
  EXPECT_TRUE(
      pasteboard->writeObjects({URL::fileURLWithPath("/tmp/a b", false),
                                webLink("https://example.org/x?y#z"), std::string("plain text")}));
  const auto items = pasteboard->pasteboardItems();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_THAT(items[0].types(), ElementsAre(NSPasteboardTypeFileURL));
  EXPECT_THAT(items[0].stringForType(NSPasteboardTypeFileURL),
              Optional(std::string("file:///tmp/a%20b")));
  EXPECT_THAT(items[1].types(), ElementsAre(NSPasteboardTypeURL));
  EXPECT_THAT(items[1].stringForType(NSPasteboardTypeURL),
              Optional(std::string("https://example.org/x?y#z")));
  EXPECT_THAT(items[2].types(), ElementsAre(NSPasteboardTypeString));
  EXPECT_THAT(pasteboard->types(),
              ElementsAre(NSPasteboardTypeFileURL, NSPasteboardTypeURL, NSPasteboardTypeString));
  // Later writes add after the items already there.
  pasteboard->writeObjects({URL::fileURLWithPath("/tmp/c", false)});
  EXPECT_EQ(pasteboard->pasteboardItems().size(), 4u);
}

TEST_F(NSPasteboardTest, SetStringWritesTheFirstItemOrMakesOne) {
  EXPECT_TRUE(pasteboard->setString("one", "com.example.kind"));
  ASSERT_EQ(pasteboard->pasteboardItems().size(), 1u);
  EXPECT_TRUE(pasteboard->setString("two", "com.example.kind"));
  EXPECT_THAT(pasteboard->stringForType("com.example.kind"), Optional(std::string("two")));

  pasteboard->clearContents();
  pasteboard->writeObjects({URL::fileURLWithPath("/a", false), URL::fileURLWithPath("/b", false)});
  pasteboard->setString("mark", "com.example.kind");
  const auto items = pasteboard->pasteboardItems();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_THAT(items[0].types(), ElementsAre(NSPasteboardTypeFileURL, "com.example.kind"));
  EXPECT_THAT(items[1].types(), ElementsAre(NSPasteboardTypeFileURL));
}

TEST_F(NSPasteboardTest, StringForTypeReadsTheFirstItemThatOffersTheType) {
  EXPECT_EQ(pasteboard->stringForType(NSPasteboardTypeString), std::nullopt);
  pasteboard->writeObjects(
      {URL::fileURLWithPath("/a", false), std::string("first"), std::string("second")});
  EXPECT_THAT(pasteboard->stringForType(NSPasteboardTypeString), Optional(std::string("first")));
  EXPECT_EQ(pasteboard->stringForType("com.example.absent"), std::nullopt);
}

TEST_F(NSPasteboardTest, ReadingFileURLsOnlyPassesOverWebLinksAndText) {
  pasteboard->writeObjects({webLink("https://example.org/"), URL::fileURLWithPath("/a", false),
                            std::string("text"), URL::fileURLWithPath("/b", true)});
  const auto files = pasteboard->readObjectsForClasses(
      {NSPasteboardReadingClass::NSURL}, {{NSPasteboardURLReadingFileURLsOnlyKey, true}});
  ASSERT_TRUE(files.has_value());
  EXPECT_THAT(pathsOf(*files), ElementsAre("/a", "/b"));

  // Without the option, or with it false, web links come back too.
  for (const NSPasteboardReadingOptions& options :
       {NSPasteboardReadingOptions{},
        NSPasteboardReadingOptions{{NSPasteboardURLReadingFileURLsOnlyKey, false}}}) {
    const auto urls = pasteboard->readObjectsForClasses({NSPasteboardReadingClass::NSURL}, options);
    ASSERT_TRUE(urls.has_value());
    ASSERT_EQ(urls->size(), 3u);
    EXPECT_EQ(std::get<URL>(urls->front()).absoluteString(), "https://example.org/");
  }
}

TEST_F(NSPasteboardTest, ReadingTriesTheClassesInTheOrderGiven) {
  platform::writeGeneralPasteboardFromAnotherApplication(
      {{{NSPasteboardTypeString, "words"}, {NSPasteboardTypeFileURL, "file:///both"}},
       {{NSPasteboardTypeString, "only words"}}});
  const auto urlFirst = pasteboard->readObjectsForClasses(
      {NSPasteboardReadingClass::NSURL, NSPasteboardReadingClass::NSString});
  ASSERT_TRUE(urlFirst.has_value());
  ASSERT_EQ(urlFirst->size(), 2u);
  EXPECT_EQ(std::get<URL>((*urlFirst)[0]).path(), "/both");
  EXPECT_EQ(std::get<std::string>((*urlFirst)[1]), "only words");

  const auto stringFirst = pasteboard->readObjectsForClasses(
      {NSPasteboardReadingClass::NSString, NSPasteboardReadingClass::NSURL});
  ASSERT_TRUE(stringFirst.has_value());
  EXPECT_EQ(std::get<std::string>((*stringFirst)[0]), "words");

  EXPECT_EQ(pasteboard->readObjectsForClasses({}), std::nullopt);
}

TEST_F(NSPasteboardTest, FileURLTextThatIsNoURLIsPassedOver) {
  platform::writeGeneralPasteboardFromAnotherApplication(
      {{{NSPasteboardTypeFileURL, "no scheme"}},
       {{NSPasteboardTypeFileURL, "file:///bad%zz"}},
       {{NSPasteboardTypeFileURL, "file:///nul%00"}},
       {{NSPasteboardTypeFileURL, "file:///good"}}});
  const auto files = pasteboard->readObjectsForClasses(
      {NSPasteboardReadingClass::NSURL}, {{NSPasteboardURLReadingFileURLsOnlyKey, true}});
  ASSERT_TRUE(files.has_value());
  EXPECT_THAT(pathsOf(*files), ElementsAre("/good"));
}

TEST_F(NSPasteboardTest, OnlyTheThreadThatClearedLastMayWrite) {
  // Another thread takes the pasteboard: this thread's writes now change nothing.
  std::thread([&] {
    pasteboard->clearContents();
    pasteboard->writeObjects({URL::fileURLWithPath("/theirs", false)});
  }).join();
  EXPECT_FALSE(pasteboard->writeObjects({URL::fileURLWithPath("/mine", false)}));
  EXPECT_FALSE(pasteboard->setString("cut", "com.example.mode"));
  const auto items = pasteboard->pasteboardItems();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_THAT(items[0].types(), ElementsAre(NSPasteboardTypeFileURL));

  // Clearing makes this thread the owner again.
  pasteboard->clearContents();
  EXPECT_TRUE(pasteboard->writeObjects({URL::fileURLWithPath("/mine", false)}));
  EXPECT_TRUE(pasteboard->setString("cut", "com.example.mode"));
}

TEST_F(NSPasteboardTest, AnotherApplicationClearsWritesAndTakesThePasteboard) {
  pasteboard->writeObjects({URL::fileURLWithPath("/mine", false)});
  const int64_t before = pasteboard->changeCount();
  const int64_t after = platform::writeGeneralPasteboardFromAnotherApplication(
      {{{NSPasteboardTypeFileURL, "file:///theirs"}}, {}, {{NSPasteboardTypeString, "t"}}});
  EXPECT_EQ(after, before + 1);

  const auto contents = platform::generalPasteboardContents();
  EXPECT_EQ(contents.changeCount, after);
  ASSERT_EQ(contents.items.size(), 2u);  // the item without types is left out
  EXPECT_THAT(contents.items[0].stringForType(NSPasteboardTypeFileURL),
              Optional(std::string("file:///theirs")));
  EXPECT_FALSE(pasteboard->setString("cut", "com.example.mode"));
  EXPECT_EQ(pasteboard->stringForType("com.example.mode"), std::nullopt);
}

TEST(NSPasteboardItem, KeepsTypesInWritingOrderAndReplacesInPlace) {
  NSPasteboardItem item{{"b", "1"}, {"a", "2"}};
  item.setString("3", "b");
  item.setString("4", "c");
  EXPECT_THAT(item.types(), ElementsAre("b", "a", "c"));
  EXPECT_THAT(item.stringForType("b"), Optional(std::string("3")));
  EXPECT_TRUE(item.hasType("a"));
  EXPECT_FALSE(item.hasType("d"));
  EXPECT_EQ(item.stringForType("d"), std::nullopt);
}

}  // namespace
