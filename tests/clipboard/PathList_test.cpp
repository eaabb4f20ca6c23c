#include "macos/Runner/PathList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(PathList, SplitsAtEveryLineFeedAndDropsEmptyPieces) {
  EXPECT_THAT(splitPathList("/a\n\n/b\n"), ElementsAre("/a", "/b"));
  EXPECT_THAT(splitPathList("\n\n/a"), ElementsAre("/a"));
  EXPECT_THAT(splitPathList("/a"), ElementsAre("/a"));
  EXPECT_THAT(splitPathList(""), IsEmpty());
  EXPECT_THAT(splitPathList("\n"), IsEmpty());
  EXPECT_THAT(splitPathList("\n\n\n"), IsEmpty());
}

TEST(PathList, CarriageReturnLineFeedIsOneCharacterAndDoesNotSplit) {
  EXPECT_THAT(splitPathList("X\r\nY"), ElementsAre("X\r\nY"));
  EXPECT_THAT(splitPathList("\r\n"), ElementsAre("\r\n"));
  EXPECT_THAT(splitPathList("X\r\r\nY"), ElementsAre("X\r\r\nY"));
  // The line feed after a CR LF pair is a line feed of its own.
  EXPECT_THAT(splitPathList("X\r\n\nY"), ElementsAre("X\r\n", "Y"));
  EXPECT_THAT(splitPathList("\n\r\n\n"), ElementsAre("\r\n"));
}

TEST(PathList, NothingIsTrimmed) {
  EXPECT_THAT(splitPathList(" /a b \n\t/c\r"), ElementsAre(" /a b ", "\t/c\r"));
  EXPECT_THAT(splitPathList("\r\n\r"), ElementsAre("\r\n\r"));
  EXPECT_THAT(splitPathList("\n\r"), ElementsAre("\r"));
  EXPECT_THAT(splitPathList(" \n \n"), ElementsAre(" ", " "));
}

TEST(PathList, SplitsOnlyOnLineFeedsNotOnOtherSeparators) {
  // Vertical tab, form feed, NEL, LINE SEPARATOR and PARAGRAPH SEPARATOR stay in the path.
  const std::string text =
      "a\vb\fc\xC2\x85"
      "d\xE2\x80\xA8"
      "e\xE2\x80\xA9"
      "f";
  EXPECT_THAT(splitPathList(text), ElementsAre(text));
}

TEST(PathList, JoinsWithSingleLineFeedsAndNoneAfterTheLast) {
  EXPECT_EQ(joinPathList({}), "");
  EXPECT_EQ(joinPathList({"/a"}), "/a");
  EXPECT_EQ(joinPathList({"/a", "/b c", "/d\r\ne"}), "/a\n/b c\n/d\r\ne");
}

TEST(PathList, AJoinedListSplitsBackIntoItsPaths) {
  // Paths that hold no LF of their own and do not end with a CR come back as they were.
  const std::vector<std::string> paths = {"/a",  " /b ", "/c\rd", "/e\r\nf", "\xC3\xA9t\xC3\xA9",
                                          "/%#?"};
  EXPECT_EQ(splitPathList(joinPathList(paths)), paths);

  std::vector<std::string> many;
  for (int i = 0; i < 100000; ++i) many.push_back("/tmp/file " + std::to_string(i));
  EXPECT_EQ(splitPathList(joinPathList(many)), many);
}

}  // namespace
