#include "platform/UniformTypeIdentifiers/UTType.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/UniformTypeIdentifiers/MimeDatabase.h"
#include "support/TestMimeDatabase.h"

namespace {

// A small database of its own, so results do not hang on the machine's.
class UTTypeTest : public ::testing::Test {
 protected:
  static std::string identifierFor(const std::string& extension,
                                   const std::shared_ptr<UTType>& supertype = UTType::data()) {
    const auto type = UTType::typeWithFilenameExtension(extension, supertype);
    return type ? type->identifier() : "(none)";
  }

  test_support::TestMimeDatabase database_{// globs2
                                           "# comment\n"
                                           "80:text/html:*.html\n"
                                           "50:application/pdf:*.pdf\n"
                                           "50:application/gzip:*.gz\n"
                                           "50:application/x-compressed-tar:*.tar.gz\n"
                                           "50:text/x-c++src:*.C:cs\n"
                                           "50:text/x-c++src:*.C\n"
                                           "50:text/x-csrc:*.c\n"
                                           "50:application/x-sharedlib:*.so.[0-9]*\n"
                                           "50:text/x-makefile:Makefile\n"
                                           "40:text/x-old-html:*.html\n"
                                           "50:image/x-legacy:*.leg\n"
                                           "50:inode/x-bundle:*.bundle\n"
                                           "50:application/x-broken\n"
                                           "x:application/x-bad-weight:*.bad\n"
                                           "50:application/x-gone:__NOGLOBS__\n",
                                           // subclasses
                                           "application/x-compressed-tar application/gzip\n"
                                           "text/x-csrc text/plain\n"
                                           "application/x-loop-a application/x-loop-b\n"
                                           "application/x-loop-b application/x-loop-a\n",
                                           // aliases
                                           "image/x-legacy image/png\n"};
};

}  // namespace

TEST_F(UTTypeTest, ExtensionsMapToTheirMimeTypes) {
  EXPECT_EQ(identifierFor("pdf"), "application/pdf");
  EXPECT_EQ(identifierFor("html"), "text/html");  // the heavier glob wins
  EXPECT_EQ(identifierFor("gz"), "application/gzip");
  EXPECT_EQ(identifierFor("tar.gz"), "application/x-compressed-tar");
  EXPECT_EQ(identifierFor("so.1"), "application/x-sharedlib");
  EXPECT_EQ(identifierFor("leg"), "image/png");  // reported by its canonical name
  EXPECT_EQ(UTType::data()->identifier(), "application/octet-stream");
}

TEST_F(UTTypeTest, CaseMattersOnlyWhereTheGlobSaysSoAndExactCaseIsPreferred) {
  EXPECT_EQ(identifierFor("PDF"), "application/pdf");
  EXPECT_EQ(identifierFor("Pdf"), "application/pdf");
  EXPECT_EQ(identifierFor("C"), "text/x-c++src");
  EXPECT_EQ(identifierFor("c"), "text/x-csrc");
}

TEST_F(UTTypeTest, ExtensionsNoFileNameCanEndInHaveNoType) {
  for (const std::string& extension : {std::string(), std::string(".pdf"), std::string("pdf."),
                                       std::string("a/b"), std::string("a\0b", 3)}) {
    EXPECT_EQ(identifierFor(extension), "(none)") << extension;
    EXPECT_EQ(identifierFor(extension, nullptr), "(none)") << extension;
  }
}

TEST_F(UTTypeTest, UnknownExtensionsGetAStableDynamicTypeThatIsData) {
  const auto zzqq = UTType::typeWithFilenameExtension("zzqq", UTType::data());
  ASSERT_NE(zzqq, nullptr);
  EXPECT_TRUE(zzqq->isDynamic());
  EXPECT_EQ(zzqq->identifier().rfind("dyn.", 0), 0u) << zzqq->identifier();
  EXPECT_EQ(zzqq->preferredFilenameExtension(), "zzqq");
  EXPECT_TRUE(zzqq->conformsToType(*UTType::data()));
  EXPECT_FALSE(zzqq->conformsToType(UTType("text/plain")));
  // The same extension, the same type; another extension (letter case too), another.
  EXPECT_EQ(identifierFor("zzqq"), zzqq->identifier());
  EXPECT_NE(identifierFor("ZZQQ"), zzqq->identifier());
  EXPECT_NE(identifierFor("zzq"), zzqq->identifier());
  // Names the database has only as whole-name globs, or with broken lines, are unknown.
  for (const char* extension : {"Makefile", "bad", "gone", "*"})
    EXPECT_EQ(identifierFor(extension).rfind("dyn.", 0), 0u) << extension;
  // A dynamic type conforms to nothing narrower than data.
  EXPECT_EQ(identifierFor("zzqq", std::make_shared<UTType>("text/plain")), "(none)");
  // Known types name their extension too.
  EXPECT_EQ(UTType("application/pdf").preferredFilenameExtension(), "pdf");
  EXPECT_EQ(UTType("image/png").preferredFilenameExtension(), "leg");  // through its alias
  EXPECT_EQ(UTType("text/x-makefile").preferredFilenameExtension(), std::nullopt);
}

TEST_F(UTTypeTest, TheTypeMustConformToTheGivenSupertype) {
  // Folders are no data: among data, the extension is as good as unknown.
  EXPECT_EQ(identifierFor("bundle"), "dyn.e62756e646c65");
  EXPECT_EQ(identifierFor("bundle", nullptr), "inode/x-bundle");
  EXPECT_EQ(identifierFor("tar.gz", std::make_shared<UTType>("application/gzip")),
            "application/x-compressed-tar");
  EXPECT_EQ(identifierFor("pdf", std::make_shared<UTType>("text/plain")), "(none)");

  const UTType csrc("text/x-csrc");
  EXPECT_TRUE(csrc.conformsToType(UTType("text/plain")));
  EXPECT_TRUE(csrc.conformsToType(*UTType::data()));
  EXPECT_TRUE(UTType("text/html").conformsToType(UTType("text/plain")));
  EXPECT_FALSE(UTType("application/pdf").conformsToType(UTType("text/plain")));
  // A cycle in the subclasses file ends the walk instead of looping.
  EXPECT_FALSE(UTType("application/x-loop-a").conformsToType(UTType("application/pdf")));
  EXPECT_TRUE(UTType("application/x-loop-a").conformsToType(UTType("application/x-loop-b")));
}

TEST(UTTypeSystemDatabase, KnowsCommonExtensionsWhenInstalled) {
  struct stat info {};
  if (::stat("/usr/share/mime/globs2", &info) != 0) GTEST_SKIP() << "no shared-mime-info";
  platform::setMimeDatabaseDirectoryForTesting(std::nullopt);
  const auto pdf = UTType::typeWithFilenameExtension("pdf", UTType::data());
  ASSERT_NE(pdf, nullptr);
  EXPECT_EQ(pdf->identifier(), "application/pdf");
  const auto c = UTType::typeWithFilenameExtension("c", UTType::data());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->identifier(), "text/x-csrc");
  EXPECT_TRUE(
      UTType::typeWithFilenameExtension("no-such-extension-here", UTType::data())->isDynamic());
}
