#include "device_info_plus/Sources/device_info_plus/DeviceIdentifiers.h"

#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

struct ModelName {
  std::string_view identifier;
  std::string_view name;
};

// Every known identifier with its marketing name. Identifiers are literal text. Real
// machines report "Macmini9,1" and "Mac15,10"; the spellings "MacMini9,1" and "Mac15.10"
// stay beside them for callers that already pass those.
constexpr ModelName kModelNames[] = {
    {"MacBook8,1", "MacBook (12-inch, 2015)"},
    {"MacBook9,1", "MacBook (12-inch, 2016)"},
    {"MacBook10,1", "MacBook (12-inch, 2017)"},
    {"MacBookAir6,1", "MacBook Air (11-inch, 2013)"},
    {"MacBookAir6,2", "MacBook Air (13-inch, 2013)"},
    {"MacBookAir7,1", "MacBook Air (11-inch, 2015)"},
    {"MacBookAir7,2", "MacBook Air (13-inch, 2015-2017)"},
    {"MacBookAir8,1", "MacBook Air (13-inch, 2018)"},
    {"MacBookAir8,2", "MacBook Air (13-inch, 2019)"},
    {"MacBookAir9,1", "MacBook Air (13-inch, 2020)"},
    {"MacBookAir10,1", "MacBook Air (13-inch, 2020)"},
    {"Mac14,2", "MacBook Air (13-inch, 2022)"},
    {"Mac14,15", "MacBook Air (15-inch, 2023)"},
    {"Mac15,12", "MacBook Air (13-inch, 2024)"},
    {"Mac15,13", "MacBook Air (15-inch, 2024)"},
    {"MacBookPro10,1", "MacBook Pro (15-inch, 2012-2013)"},
    {"MacBookPro10,2", "MacBook Pro (13-inch, 2012-2013)"},
    {"MacBookPro11,1", "MacBook Pro (13-inch, 2013-2014)"},
    {"MacBookPro11,2", "MacBook Pro (15-inch, 2013-2014)"},
    {"MacBookPro11,3", "MacBook Pro (15-inch, 2013-2014)"},
    {"MacBookPro11,4", "MacBook Pro (15-inch, 2015)"},
    {"MacBookPro11,5", "MacBook Pro (15-inch, 2015)"},
    {"MacBookPro12,1", "MacBook Pro (13-inch, 2015)"},
    {"MacBookPro13,1", "MacBook Pro (13-inch, 2016)"},
    {"MacBookPro13,2", "MacBook Pro (13-inch, 2016)"},
    {"MacBookPro13,3", "MacBook Pro (15-inch, 2016)"},
    {"MacBookPro14,1", "MacBook Pro (13-inch, 2017)"},
    {"MacBookPro14,2", "MacBook Pro (13-inch, 2017)"},
    {"MacBookPro14,3", "MacBook Pro (15-inch, 2017)"},
    {"MacBookPro15,1", "MacBook Pro (15-inch, 2018-2019)"},
    {"MacBookPro15,3", "MacBook Pro (15-inch, 2018-2019)"},
    {"MacBookPro15,2", "MacBook Pro (13-inch, 2018-2019)"},
    {"MacBookPro15,4", "MacBook Pro (13-inch, 2019)"},
    {"MacBookPro16,1", "MacBook Pro (16-inch, 2019)"},
    {"MacBookPro16,4", "MacBook Pro (16-inch, 2019)"},
    {"MacBookPro16,2", "MacBook Pro (13-inch, 2019)"},
    {"MacBookPro16,3", "MacBook Pro (13-inch, 2020)"},
    {"MacBookPro17,1", "MacBook Pro (13-inch, 2020)"},
    {"MacBookPro18,1", "MacBook Pro (14-inch, 2021)"},
    {"MacBookPro18,2", "MacBook Pro (16-inch, 2021)"},
    {"MacBookPro18,3", "MacBook Pro (16-inch, 2021)"},
    {"Mac14,5", "MacBook Pro (14-inch, 2023)"},
    {"Mac14,9", "MacBook Pro (14-inch, 2023)"},
    {"Mac14,6", "MacBook Pro (14-inch, 2023)"},
    {"Mac14,10", "MacBook Pro (14-inch, 2023)"},
    {"Mac14,7", "MacBook Pro (13-inch, 2022)"},
    {"Mac15,3", "MacBook Pro (14-inch, 2023)"},
    {"Mac15,6", "MacBook Pro (14-inch, 2023)"},
    {"Mac15,8", "MacBook Pro (14-inch, 2023)"},
    {"Mac15.10", "MacBook Pro (14-inch, 2023)"},
    {"Mac15,10", "MacBook Pro (14-inch, 2023)"},
    {"Mac15,7", "MacBook Pro (16-inch, 2023)"},
    {"Mac15,9", "MacBook Pro (16-inch, 2023)"},
    {"Mac15.11", "MacBook Pro (16-inch, 2023)"},
    {"Mac15,11", "MacBook Pro (16-inch, 2023)"},
    {"iMac13,1", "iMac (21.5-inch, 2013)"},
    {"iMac13,2", "iMac (27-inch, 2013)"},
    {"iMac14,1", "iMac (21.5-inch, 2014)"},
    {"iMac14,2", "iMac (27-inch, 2014)"},
    {"iMac14,4", "iMac (21.5-inch, 2014)"},
    {"iMac15,1", "iMac (27-inch, 2014-2015)"},
    {"iMac16,1", "iMac (21.5-inch, 2015)"},
    {"iMac16,2", "iMac (21.5-inch, 2015)"},
    {"iMac17,1", "iMac (27-inch, 2015)"},
    {"iMac18,1", "iMac (21.5-inch, 2017)"},
    {"iMac18,2", "iMac (21.5-inch, 2017)"},
    {"iMac18,3", "iMac (27-inch, 2017)"},
    {"iMac19,1", "iMac (27-inch, 2019)"},
    {"iMac19,2", "iMac (21.5-inch, 2019)"},
    {"iMac20,1", "iMac (27-inch, 2020)"},
    {"iMac20,2", "iMac (27-inch, 2020)"},
    {"iMac21,1", "iMac (24-inch, 2021)"},
    {"iMac21,2", "iMac (24-inch, 2021)"},
    {"Mac15,4", "iMac (24-inch, 2023)"},
    {"Mac15,5", "iMac (24-inch, 2023)"},
    {"Mac16,2", "iMac (24-inch, 2024)"},
    {"Mac16,3", "iMac (24-inch, 2024)"},
    {"MacMini6,1", "Mac mini (2012)"},
    {"MacMini6,2", "Mac mini (2012)"},
    {"MacMini7,1", "Mac mini (2014)"},
    {"MacMini8,1", "Mac mini (2018)"},
    {"MacMini9,1", "Mac mini (2020)"},
    {"Macmini6,1", "Mac mini (2012)"},
    {"Macmini6,2", "Mac mini (2012)"},
    {"Macmini7,1", "Mac mini (2014)"},
    {"Macmini8,1", "Mac mini (2018)"},
    {"Macmini9,1", "Mac mini (2020)"},
    {"Mac14,12", "Mac mini (2023)"},
    {"Mac14,3", "Mac mini (2023)"},
    {"Mac16,15", "Mac mini (2024)"},
    {"Mac16,10", "Mac mini (2024)"},
    {"MacPro6,1", "Mac Pro (Late 2013)"},
    {"MacPro7,1", "Mac Pro (2019)"},
    {"Mac14,8", "Mac Pro (2023)"},
    {"iMacPro1,1", "iMac Pro (2017)"},
    {"Mac13,1", "Mac Studio (2022)"},
    {"Mac13,2", "Mac Studio (2022)"},
    {"Mac14,13", "Mac Studio (2023)"},
    {"Mac14,14", "Mac Studio (2023)"},
};

constexpr std::string_view kUnknownModel = "Unknown Model";

}  // namespace

std::string getMacModelName(std::string_view modelNumber) {
  // Built once, on first use; the identifiers are distinct, so a lookup gives the same
  // name as testing them in order.
  static const std::unordered_map<std::string_view, std::string_view> names = [] {
    std::unordered_map<std::string_view, std::string_view> map;
    for (const auto& [identifier, name] : kModelNames) map.emplace(identifier, name);
    return map;
  }();
  const auto found = names.find(modelNumber);
  return std::string(found == names.end() ? kUnknownModel : found->second);
}
