#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include "platform/Foundation/NSPathUtilities.h"
#include "support/TemporaryDirectory.h"

using test_support::ScopedEnvironmentVariable;
using test_support::TemporaryDirectory;

namespace {

// A home folder of its own, with no XDG variables set.
class SearchPathTest : public ::testing::Test {
 protected:
  std::vector<std::string> search(unsigned long directory, bool expandTilde = true) {
    return NSSearchPathForDirectoriesInDomains(directory, NSUserDomainMask, expandTilde);
  }
  void writeUserDirs(const std::string& text) { home_.write(".config/user-dirs.dirs", text); }
  std::string home(const std::string& relative) { return home_ / relative; }

  TemporaryDirectory home_;
  ScopedEnvironmentVariable homeVariable_{"HOME", home_.path()};
  ScopedEnvironmentVariable data_{"XDG_DATA_HOME", std::nullopt};
  ScopedEnvironmentVariable cache_{"XDG_CACHE_HOME", std::nullopt};
  ScopedEnvironmentVariable config_{"XDG_CONFIG_HOME", std::nullopt};
};

using Paths = std::vector<std::string>;

}  // namespace

TEST_F(SearchPathTest, DefaultsFollowTheXdgLayoutBelowHome) {
  EXPECT_EQ(search(NSDocumentDirectory), Paths{home("Documents")});
  EXPECT_EQ(search(NSDownloadsDirectory), Paths{home("Downloads")});
  EXPECT_EQ(search(NSApplicationSupportDirectory), Paths{home(".local/share")});
  EXPECT_EQ(search(NSCachesDirectory), Paths{home(".cache")});
  EXPECT_EQ(search(NSLibraryDirectory), Paths{home("Library")});
}

TEST_F(SearchPathTest, AbsoluteXdgVariablesWinAndRelativeOnesAreIgnored) {
  {
    ScopedEnvironmentVariable data("XDG_DATA_HOME", "/srv/data/");
    ScopedEnvironmentVariable cache("XDG_CACHE_HOME", "/srv/cache");
    EXPECT_EQ(search(NSApplicationSupportDirectory), Paths{"/srv/data"});
    EXPECT_EQ(search(NSCachesDirectory), Paths{"/srv/cache"});
  }
  ScopedEnvironmentVariable data("XDG_DATA_HOME", "relative/data");
  ScopedEnvironmentVariable cache("XDG_CACHE_HOME", "");
  EXPECT_EQ(search(NSApplicationSupportDirectory), Paths{home(".local/share")});
  EXPECT_EQ(search(NSCachesDirectory), Paths{home(".cache")});
}

TEST_F(SearchPathTest, UserDirsFileNamesDocumentsAndDownloadsAndIsReadAtEachCall) {
  writeUserDirs(
      "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
      "XDG_DOWNLOAD_DIR=\"/mnt/big disk/dl\"\n");
  EXPECT_EQ(search(NSDocumentDirectory), Paths{home("Dokumente")});
  EXPECT_EQ(search(NSDownloadsDirectory), Paths{"/mnt/big disk/dl"});

  // A relative value, and "$HOME" itself.
  writeUserDirs("XDG_DOCUMENTS_DIR=\"Dokumente\"\nXDG_DOWNLOAD_DIR=\"$HOME\"\n");
  EXPECT_EQ(search(NSDocumentDirectory), Paths{home("Documents")});
  EXPECT_EQ(search(NSDownloadsDirectory), Paths{home_.path()});

  // The file is looked for in XDG_CONFIG_HOME when that is set.
  TemporaryDirectory config;
  config.write("user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Elsewhere\"\n");
  ScopedEnvironmentVariable configVariable("XDG_CONFIG_HOME", config.path());
  EXPECT_EQ(search(NSDocumentDirectory), Paths{home("Elsewhere")});
}

TEST_F(SearchPathTest, WithoutTildeExpansionPathsInsideHomeStartWithTilde) {
  writeUserDirs("XDG_DOWNLOAD_DIR=\"/mnt/dl\"\n");
  EXPECT_EQ(search(NSDocumentDirectory, false), Paths{"~/Documents"});
  EXPECT_EQ(search(NSApplicationSupportDirectory, false), Paths{"~/.local/share"});
  EXPECT_EQ(search(NSDownloadsDirectory, false), Paths{"/mnt/dl"});
  // A folder that only shares a prefix with the home folder's name is not inside it.
  ScopedEnvironmentVariable cache("XDG_CACHE_HOME", home_.path() + "-cache");
  EXPECT_EQ(search(NSCachesDirectory, false), Paths{home_.path() + "-cache"});
}

TEST_F(SearchPathTest, OtherDomainsAndDirectoriesHaveNoPaths) {
  EXPECT_TRUE(
      NSSearchPathForDirectoriesInDomains(NSDocumentDirectory, NSLocalDomainMask, true).empty());
  EXPECT_EQ(NSSearchPathForDirectoriesInDomains(NSDocumentDirectory, NSAllDomainsMask, true),
            Paths{home("Documents")});
  EXPECT_TRUE(search(12).empty());
}

TEST_F(SearchPathTest, MissingOrRelativeHomeFallsBackToThePasswordEntry) {
  const struct passwd* entry = ::getpwuid(::getuid());
  ASSERT_NE(entry, nullptr);
  const std::string passwordHome = entry->pw_dir;
  {
    ScopedEnvironmentVariable unset("HOME", std::nullopt);
    EXPECT_EQ(search(NSLibraryDirectory),
              Paths{(passwordHome == "/" ? "" : passwordHome) + "/Library"});
  }
  ScopedEnvironmentVariable relative("HOME", "relative/home");
  EXPECT_EQ(search(NSLibraryDirectory),
            Paths{(passwordHome == "/" ? "" : passwordHome) + "/Library"});
  // A home that does not exist is still used: nothing is created or tested.
  ScopedEnvironmentVariable missing("HOME", "/nonexistent/home");
  EXPECT_EQ(search(NSDocumentDirectory), Paths{"/nonexistent/home/Documents"});
}
