// The model name table: every identifier, and inputs that only look like one.

#include "device_info_plus/Sources/device_info_plus/DeviceIdentifiers.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

struct Row {
  std::vector<std::string> identifiers;
  std::string name;
};

const std::vector<Row>& rows() {
  static const std::vector<Row> table = {
      {{"MacBook8,1"}, "MacBook (12-inch, 2015)"},
      {{"MacBook9,1"}, "MacBook (12-inch, 2016)"},
      {{"MacBook10,1"}, "MacBook (12-inch, 2017)"},
      {{"MacBookAir6,1"}, "MacBook Air (11-inch, 2013)"},
      {{"MacBookAir6,2"}, "MacBook Air (13-inch, 2013)"},
      {{"MacBookAir7,1"}, "MacBook Air (11-inch, 2015)"},
      {{"MacBookAir7,2"}, "MacBook Air (13-inch, 2015-2017)"},
      {{"MacBookAir8,1"}, "MacBook Air (13-inch, 2018)"},
      {{"MacBookAir8,2"}, "MacBook Air (13-inch, 2019)"},
      {{"MacBookAir9,1", "MacBookAir10,1"}, "MacBook Air (13-inch, 2020)"},
      {{"Mac14,2"}, "MacBook Air (13-inch, 2022)"},
      {{"Mac14,15"}, "MacBook Air (15-inch, 2023)"},
      {{"Mac15,12"}, "MacBook Air (13-inch, 2024)"},
      {{"Mac15,13"}, "MacBook Air (15-inch, 2024)"},
      {{"MacBookPro10,1"}, "MacBook Pro (15-inch, 2012-2013)"},
      {{"MacBookPro10,2"}, "MacBook Pro (13-inch, 2012-2013)"},
      {{"MacBookPro11,1"}, "MacBook Pro (13-inch, 2013-2014)"},
      {{"MacBookPro11,2", "MacBookPro11,3"}, "MacBook Pro (15-inch, 2013-2014)"},
      {{"MacBookPro11,4", "MacBookPro11,5"}, "MacBook Pro (15-inch, 2015)"},
      {{"MacBookPro12,1"}, "MacBook Pro (13-inch, 2015)"},
      {{"MacBookPro13,1", "MacBookPro13,2"}, "MacBook Pro (13-inch, 2016)"},
      {{"MacBookPro13,3"}, "MacBook Pro (15-inch, 2016)"},
      {{"MacBookPro14,1", "MacBookPro14,2"}, "MacBook Pro (13-inch, 2017)"},
      {{"MacBookPro14,3"}, "MacBook Pro (15-inch, 2017)"},
      {{"MacBookPro15,1", "MacBookPro15,3"}, "MacBook Pro (15-inch, 2018-2019)"},
      {{"MacBookPro15,2"}, "MacBook Pro (13-inch, 2018-2019)"},
      {{"MacBookPro15,4"}, "MacBook Pro (13-inch, 2019)"},
      {{"MacBookPro16,1", "MacBookPro16,4"}, "MacBook Pro (16-inch, 2019)"},
      {{"MacBookPro16,2"}, "MacBook Pro (13-inch, 2019)"},
      {{"MacBookPro16,3", "MacBookPro17,1"}, "MacBook Pro (13-inch, 2020)"},
      {{"MacBookPro18,1"}, "MacBook Pro (14-inch, 2021)"},
      {{"MacBookPro18,2", "MacBookPro18,3"}, "MacBook Pro (16-inch, 2021)"},
      {{"Mac14,5", "Mac14,9", "Mac14,6", "Mac14,10"}, "MacBook Pro (14-inch, 2023)"},
      {{"Mac14,7"}, "MacBook Pro (13-inch, 2022)"},
      {{"Mac15,3", "Mac15,6", "Mac15,8", "Mac15.10", "Mac15,10"}, "MacBook Pro (14-inch, 2023)"},
      {{"Mac15,7", "Mac15,9", "Mac15.11", "Mac15,11"}, "MacBook Pro (16-inch, 2023)"},
      {{"iMac13,1"}, "iMac (21.5-inch, 2013)"},
      {{"iMac13,2"}, "iMac (27-inch, 2013)"},
      {{"iMac14,1"}, "iMac (21.5-inch, 2014)"},
      {{"iMac14,2"}, "iMac (27-inch, 2014)"},
      {{"iMac14,4"}, "iMac (21.5-inch, 2014)"},
      {{"iMac15,1"}, "iMac (27-inch, 2014-2015)"},
      {{"iMac16,1", "iMac16,2"}, "iMac (21.5-inch, 2015)"},
      {{"iMac17,1"}, "iMac (27-inch, 2015)"},
      {{"iMac18,1", "iMac18,2"}, "iMac (21.5-inch, 2017)"},
      {{"iMac18,3"}, "iMac (27-inch, 2017)"},
      {{"iMac19,1"}, "iMac (27-inch, 2019)"},
      {{"iMac19,2"}, "iMac (21.5-inch, 2019)"},
      {{"iMac20,1", "iMac20,2"}, "iMac (27-inch, 2020)"},
      {{"iMac21,1", "iMac21,2"}, "iMac (24-inch, 2021)"},
      {{"Mac15,4", "Mac15,5"}, "iMac (24-inch, 2023)"},
      {{"Mac16,2", "Mac16,3"}, "iMac (24-inch, 2024)"},
      {{"MacMini6,1", "MacMini6,2", "Macmini6,1", "Macmini6,2"}, "Mac mini (2012)"},
      {{"MacMini7,1", "Macmini7,1"}, "Mac mini (2014)"},
      {{"MacMini8,1", "Macmini8,1"}, "Mac mini (2018)"},
      {{"MacMini9,1", "Macmini9,1"}, "Mac mini (2020)"},
      {{"Mac14,12", "Mac14,3"}, "Mac mini (2023)"},
      {{"Mac16,15", "Mac16,10"}, "Mac mini (2024)"},
      {{"MacPro6,1"}, "Mac Pro (Late 2013)"},
      {{"MacPro7,1"}, "Mac Pro (2019)"},
      {{"Mac14,8"}, "Mac Pro (2023)"},
      {{"iMacPro1,1"}, "iMac Pro (2017)"},
      {{"Mac13,1", "Mac13,2"}, "Mac Studio (2022)"},
      {{"Mac14,13", "Mac14,14"}, "Mac Studio (2023)"},
  };
  return table;
}

TEST(MacModelName, EveryIdentifierOfEveryRowGivesItsRowsName) {
  std::set<std::string> identifiers, names;
  for (const auto& row : rows()) {
    names.insert(row.name);
    for (const auto& identifier : row.identifiers) {
      identifiers.insert(identifier);
      EXPECT_EQ(getMacModelName(identifier), row.name) << identifier;
    }
  }
  EXPECT_EQ(rows().size(), 64u);
  EXPECT_EQ(identifiers.size(), 99u) << "identifiers are distinct";
  EXPECT_EQ(names.size(), 61u);
}

TEST(MacModelName, SharedNamesAndNeighboursStayApart) {
  EXPECT_EQ(getMacModelName("MacBookPro16,2"), "MacBook Pro (13-inch, 2019)");
  EXPECT_EQ(getMacModelName("MacBookPro16,3"), "MacBook Pro (13-inch, 2020)");
  EXPECT_EQ(getMacModelName("MacBookPro18,1"), "MacBook Pro (14-inch, 2021)");
  EXPECT_EQ(getMacModelName("MacBookPro18,2"), "MacBook Pro (16-inch, 2021)");
  EXPECT_EQ(getMacModelName("Mac14,6"), getMacModelName("Mac14,5"));
  EXPECT_EQ(getMacModelName("Mac15.10"), getMacModelName("Mac14,10"));
  EXPECT_EQ(getMacModelName("iMac14,4"), getMacModelName("iMac14,1"));
}

TEST(MacModelName, AnythingButAnExactIdentifierIsAnUnknownModel) {
  for (const char* nearMiss : {
           "",
           "Mac14,13 ",       // trailing space
           " Mac14,13",       // leading space
           "Mac14,13\n",      // line end
           "imac21,1",        // letter case
           "IMAC21,1",        //
           "macmini9,1",      //
           "Macmini5,1",      // a Mac mini older than the table
           "Mac15.12",        // period where the table has a comma
           "Mac14.13",        //
           "Mac14,",          // prefixes
           "Mac14",           //
           "MacBookPro",      //
           "Mac14,1",         // gaps between known identifiers
           "MacBookPro15,5",  //
           "MacMini10,1",     // later family numbers
           "MacBookPro19,1",  //
           "Mac17,1",         //
           "iMac22,1",        //
           "iMacPro2,1",      //
           "Mac Studio (2023)",
           "Unknown Model",
       })
    EXPECT_EQ(getMacModelName(nearMiss), "Unknown Model") << '"' << nearMiss << '"';
  EXPECT_EQ(getMacModelName(std::string("Mac14,13\0", 9)), "Unknown Model");
}

}  // namespace
