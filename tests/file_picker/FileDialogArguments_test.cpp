#include "file_picker/Sources/file_picker/FileDialogArguments.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

TEST(FileDialogArguments, ReadsValuesOfTheExpectedType) {
  const EncodableValue map = EncodableMap{
      {"s", "text"}, {"b", true}, {"l", EncodableList{"a", "", "c"}}, {"e", EncodableList{}}};
  const FileDialogArguments arguments(map);
  EXPECT_EQ(arguments.string("s"), "text");
  EXPECT_EQ(arguments.boolean("b"), true);
  EXPECT_EQ(arguments.stringList("l"), (Strings{"a", "", "c"}));
  EXPECT_EQ(arguments.stringList("e"), Strings{});
  EXPECT_EQ(arguments.string("missing"), std::nullopt);
}

TEST(FileDialogArguments, OtherTypesReadAsNothing) {
  const EncodableValue map = EncodableMap{{"s", 1},
                                          {"b", "true"},
                                          {"i", int64_t{1}},
                                          {"l", EncodableList{"a", 1}},
                                          {"n", EncodableList{EncodableValue()}},
                                          {"t", std::vector<uint8_t>{97}}};
  const FileDialogArguments arguments(map);
  EXPECT_EQ(arguments.string("s"), std::nullopt);
  EXPECT_EQ(arguments.boolean("b"), std::nullopt);
  EXPECT_EQ(arguments.boolean("i"), std::nullopt);
  EXPECT_EQ(arguments.stringList("l"), std::nullopt);
  EXPECT_EQ(arguments.stringList("n"), std::nullopt);
  EXPECT_EQ(arguments.stringList("t"), std::nullopt);
  EXPECT_EQ(arguments.stringList("s"), std::nullopt);
}

TEST(FileDialogArguments, AnythingButAMapWithStringKeysReadsAsEmpty) {
  for (const EncodableValue& value :
       {EncodableValue(), EncodableValue("s"), EncodableValue(EncodableList{"s", "x"}),
        EncodableValue(EncodableMap{{"s", "x"}, {EncodableValue(), "y"}}),
        EncodableValue(EncodableMap{{"s", "x"}, {2, "y"}})}) {
    EXPECT_EQ(FileDialogArguments(value).string("s"), std::nullopt);
  }
}

}  // namespace
