#include "platform/Foundation/PropertyList.h"

#include <plist/plist.h>

#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/Foundation/FileContents.h"
#include "platform/text/Utf8Text.h"

namespace {

// Property lists the host reads (Info.plist, entitlements) are a few kilobytes; a bound
// keeps a stray huge file from being pulled into memory.
constexpr size_t kMaximumPropertyListSize = 1024 * 1024;

struct PlistDeleter {
  void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// Nesting deeper than any real property list is refused, so that conversion cannot run out
// of stack on a hostile file.
constexpr int kMaximumDepth = 512;

// Turns libplist's tree into PropertyList values. Strings and keys come out as well-formed
// UTF-8 (ill-formed bytes become U+FFFD), as the platform's strings always are; a NUL that
// the XML reader could not keep comes back from its marker (see fromMemory).
class Converter {
 public:
  explicit Converter(std::string nulMarker) : nulMarker_(std::move(nulMarker)) {}

  bool tooDeep() const { return tooDeep_; }

  std::optional<PropertyList> convert(plist_t node) {
    if (node == nullptr) return std::nullopt;
    if (depth_ >= kMaximumDepth) {
      tooDeep_ = true;
      return std::nullopt;
    }
    ++depth_;
    auto value = convertNode(node);
    --depth_;
    return value;
  }

 private:
  std::string text(const char* bytes, size_t length) const {
    std::string value = utf8TextFromBytes(std::string_view(bytes, length));
    if (nulMarker_.empty()) return value;
    for (size_t at = value.find(nulMarker_); at != std::string::npos;
         at = value.find(nulMarker_, at + 1))
      value.replace(at, nulMarker_.size(), 1, '\0');
    return value;
  }

  std::optional<PropertyList> convertArray(plist_t node) {
    PropertyList::Array items;
    const uint32_t count = plist_array_get_size(node);
    items.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
      auto item = convert(plist_array_get_item(node, i));
      if (!item) return std::nullopt;
      items.push_back(std::move(*item));
    }
    return PropertyList(std::move(items));
  }

  std::optional<PropertyList> convertDictionary(plist_t node) {
    PropertyList::Dictionary entries;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    if (iter == nullptr) return std::nullopt;
    bool complete = true;
    while (true) {
      char* key = nullptr;
      plist_t value = nullptr;
      plist_dict_next_item(node, iter, &key, &value);
      if (key == nullptr || value == nullptr) {
        std::free(key);
        break;
      }
      auto converted = convert(value);
      if (converted) {
        entries.insert_or_assign(text(key, std::strlen(key)), std::move(*converted));
      } else {
        complete = false;
      }
      std::free(key);
      if (!complete) break;
    }
    std::free(iter);
    if (!complete) return std::nullopt;
    return PropertyList(std::move(entries));
  }

  std::optional<PropertyList> convertNode(plist_t node) {
    switch (plist_get_node_type(node)) {
      case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return PropertyList(value != 0);
      }
      case PLIST_UINT:
      case PLIST_UID: {
        // Property-list integers are signed 64-bit; the library hands them over as their
        // two's-complement bits.
        uint64_t value = 0;
        if (plist_get_node_type(node) == PLIST_UINT)
          plist_get_uint_val(node, &value);
        else
          plist_get_uid_val(node, &value);
        return PropertyList(static_cast<int64_t>(value));
      }
      case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return PropertyList(value);
      }
      case PLIST_STRING:
      case PLIST_KEY: {
        uint64_t length = 0;
        const char* bytes = plist_get_string_ptr(node, &length);
        if (bytes == nullptr) return PropertyList(std::string());
        return PropertyList(text(bytes, length));
      }
      case PLIST_DATE: {
        int32_t seconds = 0;
        int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return PropertyList(NSDate::dateWithTimeIntervalSinceReferenceDate(
            static_cast<double>(seconds) + static_cast<double>(microseconds) / 1e6));
      }
      case PLIST_DATA: {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        const auto* begin = reinterpret_cast<const uint8_t*>(bytes);
        return PropertyList(bytes ? PropertyList::Data(begin, begin + length)
                                  : PropertyList::Data());
      }
      case PLIST_ARRAY:
        return convertArray(node);
      case PLIST_DICT:
        return convertDictionary(node);
      default:
        return std::nullopt;
    }
  }

  std::string nulMarker_;
  int depth_ = 0;
  bool tooDeep_ = false;
};

bool isBinary(std::string_view bytes) { return bytes.substr(0, 6) == "bplist"; }

// The XML reader cuts a string at a NUL byte and zeroes the rest of it. So each NUL of an
// XML document is read as a marker the document does not otherwise hold: the first Unicode
// noncharacter from U+FDD0 on that it lacks. Empty when there is no NUL; nothing when the
// document holds every candidate.
std::optional<std::string> nulMarkerFor(std::string_view bytes) {
  if (bytes.find('\0') == std::string_view::npos) return std::string();
  for (unsigned char last = 0x90; last <= 0xAF; ++last) {
    const std::string marker{'\xEF', '\xB7', static_cast<char>(last)};
    if (bytes.find(marker) == std::string_view::npos) return marker;
  }
  return std::nullopt;
}

}  // namespace

PropertyList::PropertyList(Date value)
    : value_(value ? std::move(value) : NSDate::dateWithTimeIntervalSince1970(0)) {}

std::optional<PropertyList> PropertyList::fromMemory(std::string_view bytes) {
  return fromMemory(bytes, nullptr);
}

std::optional<PropertyList> PropertyList::fromMemory(std::string_view bytes, std::string* problem) {
  auto refuse = [problem](const char* why) -> std::optional<PropertyList> {
    if (problem) *problem = why;
    return std::nullopt;
  };
  constexpr const char* kMalformed = "is not a property list";
  if (bytes.empty() || bytes.size() > std::numeric_limits<uint32_t>::max())
    return refuse(kMalformed);
  std::string fromBinary;
  if (isBinary(bytes)) {
    // The library's binary reader keeps a NUL inside a key, which its own key access then
    // stops the process on (an assertion). Its XML writer carries such text whole, so a
    // binary list is read as the XML the library writes for it.
    plist_t root = nullptr;
    plist_from_bin(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    if (root == nullptr) return refuse(kMalformed);
    const PlistPtr owner(root);
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root, &xml, &length);
    if (xml == nullptr) return refuse(kMalformed);
    fromBinary.assign(xml, length);
    plist_to_xml_free(xml);
    bytes = fromBinary;
  }
  const auto marker = nulMarkerFor(bytes);
  if (!marker) return refuse(kMalformed);
  std::string marked;
  if (!marker->empty()) {
    marked.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
      if (c == '\0')
        marked.append(*marker);
      else
        marked.push_back(c);
    }
    bytes = marked;
    if (bytes.size() > std::numeric_limits<uint32_t>::max()) return refuse(kMalformed);
  }
  plist_t root = nullptr;
  plist_from_xml(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  const PlistPtr owner(root);
  Converter converter(*marker);
  auto converted = converter.convert(root);
  if (!converted)
    return refuse(converter.tooDeep() ? "nests arrays and dictionaries more than 512 deep"
                                      : kMalformed);
  return converted;
}

std::optional<PropertyList> PropertyList::fromFile(const std::string& path, std::string* problem) {
  auto file = platform::readFile(path, kMaximumPropertyListSize);
  if (!file.contents) {
    if (problem) *problem = std::move(file.problem);
    return std::nullopt;
  }
  return fromMemory(*file.contents, problem);
}

PropertyList::Date PropertyList::date() const {
  const auto* date = std::get_if<Date>(&value_);
  return date ? *date : nullptr;
}

std::shared_ptr<const PropertyList> PropertyList::objectForKey(const std::string& key) const {
  const auto* entries = dictionary();
  if (entries == nullptr) return nullptr;
  const auto found = entries->find(key);
  if (found == entries->end()) return nullptr;
  return std::make_shared<const PropertyList>(found->second);
}

bool PropertyList::operator==(const PropertyList& other) const {
  if (value_.index() != other.value_.index()) return false;
  if (const auto* date = std::get_if<Date>(&value_)) return (*date)->isEqualToDate(*other.date());
  return value_ == other.value_;
}
