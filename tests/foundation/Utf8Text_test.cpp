#include "platform/text/Utf8Text.h"

#include <gtest/gtest.h>

namespace {

const std::string kFFFD = "\xEF\xBF\xBD";

TEST(Utf8Text, KeepsWellFormedTextUnchanged) {
  for (const std::string text : {"", "plain", "h\xE2\x98\xBAw", "h\xF0\x9F\x98\x82w", "\xC2\x80",
                                 "\xED\x9F\xBF", "\xEE\x80\x80", "\xF4\x8F\xBF\xBF"}) {
    EXPECT_EQ(utf8TextFromBytes(text), text);
  }
}

TEST(Utf8Text, ReplacesEachMaximalSubpartWithOneReplacementCharacter) {
  EXPECT_EQ(utf8TextFromBytes("A\xFF\xC0"
                              "B"),
            "A" + kFFFD + kFFFD + "B");
  // A three-byte sequence cut short is one subpart.
  EXPECT_EQ(utf8TextFromBytes("A\xE2\x82"), "A" + kFFFD);
  EXPECT_EQ(utf8TextFromBytes("\xE2\x82"
                              "A"),
            kFFFD + "A");
  // The Unicode standard's own example: 61 F1 80 80 E1 80 C2 62 80 63 80 BF 64.
  EXPECT_EQ(utf8TextFromBytes("\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64"),
            "a" + kFFFD + kFFFD + kFFFD + "b" + kFFFD + "c" + kFFFD + kFFFD + "d");
}

TEST(Utf8Text, RefusesOverlongSurrogateAndOutOfRangeForms) {
  EXPECT_EQ(utf8TextFromBytes("\xC0\xAF"), kFFFD + kFFFD);              // overlong "/"
  EXPECT_EQ(utf8TextFromBytes("\xE0\x80\xAF"), kFFFD + kFFFD + kFFFD);  // overlong, 3 bytes
  EXPECT_EQ(utf8TextFromBytes("\xED\xA0\x80"), kFFFD + kFFFD + kFFFD);  // a surrogate
  EXPECT_EQ(utf8TextFromBytes("\xF4\x90\x80\x80"), kFFFD + kFFFD + kFFFD + kFFFD);
  EXPECT_EQ(utf8TextFromBytes("\xF5"), kFFFD);
}

TEST(Utf8Text, OutputIsAlwaysWellFormedAndTheCheckAgreesWithTheRepair) {
  // Every one- and two-byte input, and every three-byte one that starts a sequence.
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      for (int c : {0x41, 0x80, 0xBF, 0xC0}) {
        const std::string input{static_cast<char>(a), static_cast<char>(b), static_cast<char>(c)};
        const std::string output = utf8TextFromBytes(input);
        ASSERT_TRUE(isWellFormedUtf8(output)) << a << " " << b << " " << c;
        ASSERT_EQ(isWellFormedUtf8(input), output == input) << a << " " << b << " " << c;
      }
    }
  }
}

TEST(Utf8Text, NullCStringIsEmpty) {
  EXPECT_EQ(utf8TextFromCString(nullptr), "");
  EXPECT_EQ(utf8TextFromCString("a\xFF"), "a" + kFFFD);
}

}  // namespace
