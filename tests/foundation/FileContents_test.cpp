// Files the host reads at start: regular files under a size bound, and why not otherwise.
#include "platform/Foundation/FileContents.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/TemporaryDirectory.h"

namespace {

using platform::readFile;

TEST(FileContents, OnlyRegularFilesUnderTheBoundAreReadAndEveryOtherCaseSaysWhy) {
  test_support::TemporaryDirectory directory;
  const std::string exact = directory.write("exact", std::string(100, 'x'));
  EXPECT_EQ(readFile(exact, 100).contents, std::string(100, 'x'));
  EXPECT_EQ(readFile(directory.write("empty", ""), 100).contents, "");

  const std::string fifo = directory / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string path;
    const char* problem;
  } cases[] = {
      {directory.makeDirectory("folder"), "is a directory"},
      {fifo, "is not a regular file"},  // opened without waiting for a writer
      {"/dev/zero", "is not a regular file"},
      {directory / "missing", "does not exist"},
  };
  EXPECT_EQ(readFile(exact, 99).problem, "is larger than 99 bytes");
  EXPECT_FALSE(readFile(exact, 99).contents);
  for (const auto& c : cases) {
    const auto file = readFile(c.path, 1 << 20);
    EXPECT_FALSE(file.contents) << c.path;
    EXPECT_EQ(file.problem, c.problem) << c.path;
  }
}

}  // namespace
