#include "platform/Foundation/EnvironmentFile.h"

#include <gtest/gtest.h>

using platform::parseEnvironmentFile;
using Values = std::map<std::string, std::string>;

TEST(EnvironmentFile, ReadsShellQuotedValues) {
  const auto values = parseEnvironmentFile(
      "# written by a tool\n"
      "\n"
      "PRETTY_HOSTNAME=\"Lena's \\\"Studio\\\" \\$5\"\n"
      "  ICON_NAME='computer-laptop \"x\" \\n'\n"
      "CHASSIS=lap\\ top # a comment after the value\n"
      "XDG_DOCUMENTS_DIR=\"$HOME/My Documents\"\n"
      "MIXED=a\"b c\"'d e'\n"
      "EMPTY=\n"
      "MULTI=\"one\ntwo\"\n");
  EXPECT_EQ(values, (Values{{"PRETTY_HOSTNAME", "Lena's \"Studio\" $5"},
                            {"ICON_NAME", "computer-laptop \"x\" \\n"},
                            {"CHASSIS", "lap top"},
                            {"XDG_DOCUMENTS_DIR", "$HOME/My Documents"},
                            {"MIXED", "ab cd e"},
                            {"EMPTY", ""},
                            {"MULTI", "one\ntwo"}}));
}

TEST(EnvironmentFile, SkipsLinesThatAreNoAssignmentAndKeepsTheLastOfARepeatedName) {
  const auto values = parseEnvironmentFile(
      "A=first\n"
      "not an assignment\n"
      "1X=digit first\n"
      "OPEN=\"never closed\n"
      "B='also open\n"
      "A=second\n"
      "NUL=/a" +
      std::string(1, '\0') +
      "b\n"
      "QUOTED_NUL=\"/a" +
      std::string(1, '\0') +
      "b\"\n"
      "C=ok");
  EXPECT_EQ(values, (Values{{"A", "second"}, {"C", "ok"}}));
}
