#include "platform/Foundation/PropertyList.h"

#include <gtest/gtest.h>

#include "support/BundleFixture.h"

using test_support::binaryPropertyList;
using test_support::xmlPropertyList;

namespace {

const std::string kEveryKind = xmlPropertyList(R"(<dict>
  <key>name</key><string>Tolvek &amp; Co — ü</string>
  <key>count</key><integer>42</integer>
  <key>negative</key><integer>-7</integer>
  <key>ratio</key><real>2.5</real>
  <key>yes</key><true/>
  <key>no</key><false/>
  <key>when</key><date>2001-01-01T00:00:10Z</date>
  <key>blob</key><data>AAEC/w==</data>
  <key>list</key><array><string>a</string><integer>1</integer></array>
  <key>nested</key><dict><key>inner</key><string>x</string></dict>
</dict>)");

void expectEveryKind(const PropertyList& plist) {
  ASSERT_NE(plist.dictionary(), nullptr);
  EXPECT_EQ(*plist.objectForKey("name")->string(), "Tolvek & Co — ü");
  EXPECT_EQ(*plist.objectForKey("count")->integer(), 42);
  EXPECT_EQ(*plist.objectForKey("negative")->integer(), -7);
  EXPECT_EQ(*plist.objectForKey("ratio")->real(), 2.5);
  EXPECT_EQ(*plist.objectForKey("yes")->boolean(), true);
  EXPECT_EQ(*plist.objectForKey("no")->boolean(), false);
  EXPECT_EQ(plist.objectForKey("when")->date()->timeIntervalSince1970(), 978307210.0);
  EXPECT_EQ(*plist.objectForKey("blob")->data(), (PropertyList::Data{0, 1, 2, 0xff}));
  EXPECT_EQ(*plist.objectForKey("list")->array(), (PropertyList::Array{"a", 1}));
  EXPECT_EQ(*plist.objectForKey("nested")->objectForKey("inner")->string(), "x");
  EXPECT_EQ(plist.objectForKey("missing"), nullptr);
  // Typed access of another kind gives nothing rather than a converted value.
  EXPECT_EQ(plist.objectForKey("count")->string(), nullptr);
  EXPECT_EQ(plist.objectForKey("yes")->integer(), nullptr);
}

}  // namespace

TEST(PropertyList, ReadsEveryKindOfValueFromXml) {
  const auto plist = PropertyList::fromMemory(kEveryKind);
  ASSERT_TRUE(plist.has_value());
  expectEveryKind(*plist);
}

TEST(PropertyList, ReadsTheSameValuesFromBinary) {
  const auto binary = binaryPropertyList(kEveryKind);
  ASSERT_EQ(binary.rfind("bplist00", 0), 0u);
  const auto plist = PropertyList::fromMemory(binary);
  ASSERT_TRUE(plist.has_value());
  expectEveryKind(*plist);
  EXPECT_EQ(*plist, *PropertyList::fromMemory(kEveryKind));
}

TEST(PropertyList, RejectsEmptyTruncatedAndForeignContent) {
  const auto binary = binaryPropertyList(kEveryKind);
  for (const std::string& bytes :
       {std::string(), std::string("not a property list"),
        kEveryKind.substr(0, kEveryKind.size() / 2), binary.substr(0, binary.size() / 2),
        binary.substr(0, 8), std::string("bplist00")}) {
    EXPECT_FALSE(PropertyList::fromMemory(bytes).has_value()) << bytes.size() << " bytes";
  }
}

TEST(PropertyList, FromFileReadsRegularFilesOnly) {
  test_support::TemporaryDirectory directory;
  const auto file = directory.write("a.plist", kEveryKind);
  ASSERT_TRUE(PropertyList::fromFile(file).has_value());
  EXPECT_FALSE(PropertyList::fromFile(directory.makeDirectory("folder.plist")).has_value());
  EXPECT_FALSE(PropertyList::fromFile(directory / "missing.plist").has_value());
}

TEST(PropertyList, StringsKeepTheirNulBytesAndComeOutAsWellFormedUtf8) {
  const std::string nul(1, '\0');
  const auto plist = PropertyList::fromMemory(
      xmlPropertyList("<dict><key>k" + nul + "ey</key><string>Tol" + nul +
                      "vek</string>"
                      "<key>latin1</key><string>caf\xE9</string>"
                      "<key>marker</key><string>\xEF\xB7\x90</string></dict>"));
  ASSERT_TRUE(plist.has_value());
  EXPECT_EQ(*plist->objectForKey("k" + nul + "ey")->string(), "Tol" + nul + "vek");
  EXPECT_EQ(*plist->objectForKey("latin1")->string(), "caf\xEF\xBF\xBD");
  // A character that happens to be the first NUL marker candidate stays itself.
  EXPECT_EQ(*plist->objectForKey("marker")->string(), "\xEF\xB7\x90");
}

TEST(PropertyList, NestingDeeperThanTheLimitIsMalformedNotACrash) {
  const auto nested = [](int depth) {
    std::string body;
    for (int i = 0; i < depth; ++i) body += "<array>";
    for (int i = 0; i < depth; ++i) body += "</array>";
    return xmlPropertyList(body);
  };
  EXPECT_TRUE(PropertyList::fromMemory(nested(512)).has_value());
  EXPECT_FALSE(PropertyList::fromMemory(nested(513)).has_value());
  EXPECT_FALSE(PropertyList::fromMemory(nested(25000)).has_value());
  EXPECT_FALSE(PropertyList::fromMemory(binaryPropertyList(nested(600))).has_value());
}
