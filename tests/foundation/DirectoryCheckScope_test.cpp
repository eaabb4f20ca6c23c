#include "platform/Foundation/DirectoryCheckScope.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "platform/Foundation/URL.h"
#include "support/TemporaryDirectory.h"

namespace {

namespace fs = std::filesystem;

bool statSaysDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A folder with enough entries of every kind that it gets listed: files, directories,
// links to both, a dangling link, and a folder that is a file.
class DirectoryChecks : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 100; ++i) directory_.write("many/file" + std::to_string(i), "x");
    for (int i = 0; i < 20; ++i) directory_.makeDirectory("many/dir" + std::to_string(i));
    fs::create_directory_symlink(directory_ / "many/dir0", directory_ / "many/linkToDir");
    fs::create_symlink(directory_ / "many/file0", directory_ / "many/linkToFile");
    fs::create_symlink(directory_ / "nowhere", directory_ / "many/dangling");
    fs::create_directory_symlink(directory_ / "many", directory_ / "linkToMany");
  }

  // Every kind of path, asked more often than it takes to list their folders.
  std::vector<std::string> paths() const {
    std::vector<std::string> all;
    for (const char* folder : {"many", "linkToMany", "missing", "many/file0"}) {
      for (int i = 0; i < 100; ++i) all.push_back(directory_ / folder + "/file" + std::to_string(i));
      for (int i = 0; i < 25; ++i) all.push_back(directory_ / folder + "/dir" + std::to_string(i));
      for (const char* name : {"linkToDir", "linkToFile", "dangling", ".", "..", "notListed"})
        all.push_back(directory_ / folder + "/" + name);
      all.push_back(directory_ / folder + "/dir1/");
    }
    all.push_back("/");
    all.push_back(directory_.path());
    return all;
  }

  test_support::TemporaryDirectory directory_;
};

TEST_F(DirectoryChecks, AScopeAnswersEveryPathAsALookAtItAloneDoes) {
  const auto all = paths();
  const platform::DirectoryCheckScope scope;
  for (const auto& path : all) {
    EXPECT_EQ(platform::isExistingDirectory(path), statSaysDirectory(path)) << path;
  }
}

TEST_F(DirectoryChecks, AFolderThatCannotBeSearchedHasNoDirectoriesBelowIt) {
  if (geteuid() == 0) GTEST_SKIP() << "every folder can be searched by root";
  const std::string locked = directory_.makeDirectory("locked");
  for (int i = 0; i < 80; ++i) directory_.makeDirectory("locked/dir" + std::to_string(i));
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_write);
  const platform::DirectoryCheckScope scope;
  for (int i = 0; i < 80; ++i) {
    const std::string path = locked + "/dir" + std::to_string(i);
    EXPECT_EQ(platform::isExistingDirectory(path), statSaysDirectory(path)) << path;
  }
  fs::permissions(locked, fs::perms::owner_all);
}

// File URLs made in a scope come out as those made without it: an existing directory's
// URL ends with a slash, nothing else's does.
TEST_F(DirectoryChecks, FileURLsInAScopeMarkTheSameDirectories) {
  std::vector<std::string> alone;
  for (const auto& path : paths()) alone.push_back(URL::fileURLWithPath(path).absoluteString());
  std::vector<std::string> scoped;
  {
    const platform::DirectoryCheckScope scope;
    for (const auto& path : paths()) scoped.push_back(URL::fileURLWithPath(path).absoluteString());
  }
  EXPECT_EQ(scoped, alone);
  EXPECT_EQ(URL::fileURLWithPath(directory_ / "many/dir3").absoluteString().back(), '/');
}

// The scope answers from what it saw: it belongs to its thread and its moment only.
TEST_F(DirectoryChecks, AScopeCoversItsOwnThreadAndLifetimeOnly) {
  const std::string later = directory_ / "many/later";
  {
    const platform::DirectoryCheckScope scope;
    for (int i = 0; i < 100; ++i)
      platform::isExistingDirectory(directory_ / "many/file" + std::to_string(i));
    fs::create_directory(later);
    bool seenElsewhere = false;
    std::thread([&] { seenElsewhere = platform::isExistingDirectory(later); }).join();
    EXPECT_TRUE(seenElsewhere);  // another thread looks at the disk
  }
  EXPECT_TRUE(platform::isExistingDirectory(later));  // after the scope, so does this one
}

}  // namespace
