#include "platform/Foundation/NSFileManager.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Foundation/NSPathUtilities.h"
#include "support/BundleFixture.h"

using test_support::BundleFixture;
using test_support::ScopedEnvironmentVariable;
using test_support::TemporaryDirectory;

TEST(NSFileManager, AttributesCarryModificationAndBirthTimesWithSubSecondPrecision) {
  TemporaryDirectory directory;
  const auto file = directory.write("a.txt", "hello");
  // A modification time with a fraction of a second the file system keeps exactly.
  const struct timespec times[2] = {{1700000000, 250000000}, {1700000000, 250000000}};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);

  std::shared_ptr<NSError> error;
  const auto attributes = NSFileManager::defaultManager()->attributesOfItemAtPath(file, &error);
  ASSERT_NE(attributes, nullptr);
  EXPECT_EQ(error, nullptr);
  EXPECT_EQ(attributes->fileModificationDate()->timeIntervalSince1970(), 1700000000.25);
  EXPECT_EQ(attributes->fileType(), NSFileTypeRegular);
  EXPECT_EQ(attributes->fileSize(), 5u);

  struct statx info {};
  ASSERT_EQ(::statx(AT_FDCWD, file.c_str(), 0, STATX_BTIME, &info), 0);
  if (info.stx_mask & STATX_BTIME) {
    const auto created = attributes->objectForKey(NSFileCreationDate);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->date()->timeIntervalSince1970(),
              static_cast<double>(info.stx_btime.tv_sec) + info.stx_btime.tv_nsec / 1e9);
    EXPECT_EQ(attributes->fileCreationDate()->timeIntervalSince1970(),
              created->date()->timeIntervalSince1970());
  }
}

TEST(NSFileManager, CreationDateIsAbsentWhereTheFileSystemKeepsNone) {
  // procfs records no birth times.
  const auto attributes =
      NSFileManager::defaultManager()->attributesOfItemAtPath("/proc/self/status", nullptr);
  ASSERT_NE(attributes, nullptr);
  EXPECT_EQ(attributes->objectForKey(NSFileCreationDate), nullptr);
  EXPECT_EQ(attributes->fileCreationDate(), nullptr);
  EXPECT_NE(attributes->fileModificationDate(), nullptr);
}

TEST(NSFileManager, SymbolicLinksAreDescribedNotFollowed) {
  TemporaryDirectory directory;
  directory.makeDirectory("target");
  ASSERT_EQ(::symlink((directory / "target").c_str(), (directory / "link").c_str()), 0);
  const auto manager = NSFileManager::defaultManager();
  EXPECT_EQ(manager->attributesOfItemAtPath(directory / "link", nullptr)->fileType(),
            NSFileTypeSymbolicLink);
  EXPECT_EQ(manager->attributesOfItemAtPath(directory / "target", nullptr)->fileType(),
            NSFileTypeDirectory);
}

TEST(NSFileManager, FailuresReportAnErrorAndNoAttributes) {
  TemporaryDirectory directory;
  const auto manager = NSFileManager::defaultManager();
  const struct {
    std::string path;
    long code;
  } cases[] = {{directory / "missing", NSFileReadNoSuchFileError},
               {directory.write("file", "x") + "/below-a-file", NSFileReadNoSuchFileError},
               {"", NSFileReadInvalidFileNameError},
               {std::string("/tmp\0x", 6), NSFileReadInvalidFileNameError}};
  for (const auto& c : cases) {
    std::shared_ptr<NSError> error;
    EXPECT_EQ(manager->attributesOfItemAtPath(c.path, &error), nullptr) << c.path;
    ASSERT_NE(error, nullptr) << c.path;
    EXPECT_EQ(error->domain(), NSCocoaErrorDomain);
    EXPECT_EQ(error->code(), c.code) << c.path;
  }
  // Without an error pointer the failure is still just nullptr.
  EXPECT_EQ(manager->attributesOfItemAtPath(directory / "missing", nullptr), nullptr);
}

TEST(NSFileManager, URLsForDirectoryAreDirectoryUrlsOfTheSearchPaths) {
  TemporaryDirectory home;
  ScopedEnvironmentVariable homeVariable("HOME", home.path());
  ScopedEnvironmentVariable config("XDG_CONFIG_HOME", std::nullopt);
  const auto urls =
      NSFileManager::defaultManager()->URLsForDirectory(NSDocumentDirectory, NSUserDomainMask);
  ASSERT_EQ(urls.size(), 1u);
  EXPECT_EQ(urls.back().path(), home / "Documents");
  EXPECT_TRUE(urls.back().hasDirectoryPath());
  EXPECT_TRUE(NSFileManager::defaultManager()
                  ->URLsForDirectory(NSDocumentDirectory, NSLocalDomainMask)
                  .empty());
}

TEST(NSFileManager, GroupContainersExistOnlyForGroupsInTheEntitlements) {
  BundleFixture bundle("<dict><key>CFBundleIdentifier</key><string>dev.tolvek.app</string></dict>",
                       R"(<dict><key>com.apple.security.application-groups</key>
           <array><string>TEAM.dev.tolvek.shared</string><string>..</string><string>a/b</string></array>
         </dict>)");
  TemporaryDirectory data;
  ScopedEnvironmentVariable dataHome("XDG_DATA_HOME", data.path());
  const auto manager = NSFileManager::defaultManager();

  const auto container =
      manager->containerURLForSecurityApplicationGroupIdentifier("TEAM.dev.tolvek.shared");
  ASSERT_TRUE(container.has_value());
  EXPECT_EQ(container->path(), data / "group-containers/TEAM.dev.tolvek.shared");
  EXPECT_FALSE(manager->fileExistsAtPath(container->path()));  // not created
  {
    // A data home at the root is joined with one slash.
    ScopedEnvironmentVariable root("XDG_DATA_HOME", "/");
    EXPECT_EQ(manager->containerURLForSecurityApplicationGroupIdentifier("TEAM.dev.tolvek.shared")
                  ->absoluteString(),
              "file:///group-containers/TEAM.dev.tolvek.shared/");
  }

  EXPECT_FALSE(manager->containerURLForSecurityApplicationGroupIdentifier("TEAM.other"));
  EXPECT_FALSE(
      manager->containerURLForSecurityApplicationGroupIdentifier("team.dev.tolvek.shared"));
  // Listed, but naming no folder of its own below group-containers.
  EXPECT_FALSE(manager->containerURLForSecurityApplicationGroupIdentifier(".."));
  EXPECT_FALSE(manager->containerURLForSecurityApplicationGroupIdentifier("a/b"));

  // Groups that are not a list of strings, and no entitlements at all.
  bundle.writeEntitlements(
      "<dict><key>com.apple.security.application-groups</key>"
      "<string>TEAM.dev.tolvek.shared</string></dict>");
  EXPECT_FALSE(
      manager->containerURLForSecurityApplicationGroupIdentifier("TEAM.dev.tolvek.shared"));
  ::unlink((bundle.bundlePath() + "/Contents/Resources/Entitlements.plist").c_str());
  EXPECT_FALSE(
      manager->containerURLForSecurityApplicationGroupIdentifier("TEAM.dev.tolvek.shared"));
}
