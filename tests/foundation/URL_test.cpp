#include "platform/Foundation/URL.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/TemporaryDirectory.h"

namespace {

// Changes the current directory for the object's lifetime.
class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::string& path) {
    char buffer[4096];
    old_ = ::getcwd(buffer, sizeof buffer) ? buffer : "/";
    EXPECT_EQ(::chdir(path.c_str()), 0);
  }
  ~ScopedCurrentDirectory() { EXPECT_EQ(::chdir(old_.c_str()), 0); }

 private:
  std::string old_;
};

}  // namespace

TEST(URL, EveryPathSurvivesTheTripThroughItsText) {
  const std::string paths[] = {"/tmp/plain.txt",          "/tmp/with space/a b.txt",
                               "/tmp/100%.txt",           "/tmp/%41%zz",
                               "/tmp/hash#tag",           "/tmp/question?mark=1",
                               "/tmp/Ünïcødé/日本語.pdf", "/tmp/lone\rcr",
                               "/tmp/crlf\r\nname",       "/tmp/line\nfeed",
                               "/tmp/a//double",          "/tmp/./dot/../dots",
                               "/tmp/semi;colon:at@&+=",  "/tmp/'quotes'(paren)",
                               "/tmp/\x01\x7f\xff",       "/"};
  for (const auto& path : paths) {
    const URL url = URL::fileURLWithPath(path, false);
    const std::string text = url.absoluteString();
    EXPECT_EQ(text.rfind("file:///", 0), 0u) << text;
    // Characters that would end or break the path in URL text are always encoded.
    EXPECT_EQ(text.find_first_of(" #?\r\n", 0), std::string::npos) << text;
    const auto parsed = URL::fromString(text);
    ASSERT_TRUE(parsed.has_value()) << text;
    EXPECT_TRUE(parsed->isFileURL());
    EXPECT_EQ(parsed->path(), path) << text;
  }
}

TEST(URL, EncodesExactlyTheBytesAPathCannotCarryAsTheyAre) {
  EXPECT_EQ(URL::fileURLWithPath("/a b/100%/#?/é", false).absoluteString(),
            "file:///a%20b/100%25/%23%3F/%C3%A9");
  EXPECT_EQ(URL::fileURLWithPath("/keep-._~!$&'()*+,;=:@", false).absoluteString(),
            "file:///keep-._~!$&'()*+,;=:@");
}

TEST(URL, DirectoriesGetATrailingSlashThatPathDrops) {
  test_support::TemporaryDirectory directory;
  directory.makeDirectory("folder");
  directory.write("file", "x");

  const URL folder = URL::fileURLWithPath(directory / "folder");
  EXPECT_TRUE(folder.hasDirectoryPath());
  EXPECT_EQ(folder.absoluteString().back(), '/');
  EXPECT_EQ(folder.path(), directory / "folder");

  const URL file = URL::fileURLWithPath(directory / "file");
  EXPECT_FALSE(file.hasDirectoryPath());
  EXPECT_EQ(file.path(), directory / "file");

  // A path written with a trailing slash is a directory whether or not it exists.
  const URL written = URL::fileURLWithPath(directory / "missing/");
  EXPECT_TRUE(written.hasDirectoryPath());
  EXPECT_EQ(written.path(), directory / "missing");

  const URL root = URL::fileURLWithPath("/");
  EXPECT_EQ(root.absoluteString(), "file:///");
  EXPECT_EQ(root.path(), "/");
}

TEST(URL, RelativePathsAreResolvedAgainstTheCurrentDirectory) {
  test_support::TemporaryDirectory directory;
  directory.makeDirectory("sub");
  ScopedCurrentDirectory current(directory.path());
  char buffer[4096];
  const std::string cwd = ::getcwd(buffer, sizeof buffer);

  EXPECT_EQ(URL::fileURLWithPath("notes.txt").path(), cwd + "/notes.txt");
  EXPECT_EQ(URL::fileURLWithPath("../x").path(), cwd + "/../x");
  EXPECT_TRUE(URL::fileURLWithPath("sub").hasDirectoryPath());
  const URL here = URL::fileURLWithPath("");
  EXPECT_EQ(here.path(), cwd);
  EXPECT_TRUE(here.hasDirectoryPath());
}

TEST(URL, AppendingAComponentAddsOneSlashAndEncodesTheComponent) {
  const URL base = URL::fileURLWithPath("/data/Application Support", true);
  const URL appended = base.appendingPathComponent("dev.tolvek.app");
  EXPECT_EQ(appended.path(), "/data/Application Support/dev.tolvek.app");
  EXPECT_EQ(appended.absoluteString(), "file:///data/Application%20Support/dev.tolvek.app");
  EXPECT_EQ(URL::fileURLWithPath("/", true).appendingPathComponent("etc").path(), "/etc");
  EXPECT_EQ(base.appendingPathComponent("a#b?c").path(), "/data/Application Support/a#b?c");
  EXPECT_EQ(base.appendingPathComponent(""), base);
  EXPECT_TRUE(base.appendingPathComponent("sub/").hasDirectoryPath());

  test_support::TemporaryDirectory directory;
  directory.makeDirectory("existing");
  EXPECT_TRUE(
      URL::fileURLWithPath(directory.path()).appendingPathComponent("existing").hasDirectoryPath());
}

TEST(URL, ParsesFileUrlTextInItsCommonForms) {
  EXPECT_EQ(URL::fromString("file:///tmp/a%20b")->path(), "/tmp/a b");
  EXPECT_EQ(URL::fromString("FILE://localhost/tmp/x")->path(), "/tmp/x");
  EXPECT_TRUE(URL::fromString("FILE://localhost/tmp/x")->isFileURL());
  EXPECT_EQ(URL::fromString("file:/tmp/x")->path(), "/tmp/x");
  EXPECT_EQ(URL::fromString("file:///tmp/dir/")->path(), "/tmp/dir");
  EXPECT_TRUE(URL::fromString("file:///tmp/dir/")->hasDirectoryPath());
  // An unencoded "?" or "#" ends the path, as in any URL.
  EXPECT_EQ(URL::fromString("file:///tmp/a?q=1#f")->path(), "/tmp/a");
  EXPECT_EQ(URL::fromString("file:///tmp/a?q=1#f")->absoluteString(), "file:///tmp/a?q=1#f");
  // Raw characters that should have been encoded are taken as they stand.
  EXPECT_EQ(URL::fromString("file:///tmp/raw space/é")->path(), "/tmp/raw space/é");

  const auto web = URL::fromString("https://example.org/a%2Fb");
  ASSERT_TRUE(web.has_value());
  EXPECT_FALSE(web->isFileURL());
  EXPECT_EQ(web->path(), "/a/b");
}

TEST(URL, RejectsTextThatIsNoUrlOrCannotBeDecoded) {
  for (const char* text :
       {"", "/tmp/no/scheme", ":nothing", "1file:///x", "fi le:///x", "file:///bad%zz",
        "file:///cut%4", "file:///cut%", "file:///nul%00byte"}) {
    EXPECT_FALSE(URL::fromString(text).has_value()) << text;
  }
}
