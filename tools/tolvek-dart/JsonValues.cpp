#include "tools/tolvek-dart/JsonValues.h"

#include <cmath>
#include <limits>

namespace tolvekdart {

namespace {

// The largest integer a JSON reader is sure to hold exactly (doubles).
constexpr int64_t kExactInJson = int64_t{1} << 53;

Json integerJson(int64_t value) {
  if (value > kExactInJson || value < -kExactInJson) {
    return Json{{"$int64", std::to_string(value)}};
  }
  return Json(value);
}

Json doubleJson(double value) {
  if (std::isnan(value)) return Json{{"$float64", "NaN"}};
  if (std::isinf(value)) return Json{{"$float64", value > 0 ? "Infinity" : "-Infinity"}};
  return Json(value);
}

std::string toHex(const std::vector<uint8_t>& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const uint8_t byte : bytes) {
    hex.push_back(digits[byte >> 4]);
    hex.push_back(digits[byte & 15]);
  }
  return hex;
}

std::vector<uint8_t> fromHex(const std::string& hex) {
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    throw JsonValueError("\"$bytes\" holds a non-hex character");
  };
  if (hex.size() % 2 != 0) throw JsonValueError("\"$bytes\" has an odd number of digits");
  std::vector<uint8_t> bytes(hex.size() / 2);
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<uint8_t>(nibble(hex[2 * i]) << 4 | nibble(hex[2 * i + 1]));
  }
  return bytes;
}

template <typename T>
Json listJson(const char* tag, const std::vector<T>& values) {
  Json items = Json::array();
  for (const T value : values) {
    if constexpr (std::is_floating_point_v<T>) {
      items.push_back(std::isfinite(value) ? Json(static_cast<double>(value))
                                           : doubleJson(value)["$float64"]);
    } else if constexpr (sizeof(T) == 8) {
      items.push_back(value > kExactInJson || value < -kExactInJson ? Json(std::to_string(value))
                                                                    : Json(value));
    } else {
      items.push_back(value);
    }
  }
  return Json{{tag, std::move(items)}};
}

bool plainStringKeys(const EncodableMap& map) {
  for (const auto& [key, value] : map) {
    const auto* text = key.string();
    if (text == nullptr || text->starts_with("$")) return false;
  }
  return true;
}

int64_t jsonInteger(const Json& json, const char* what) {
  if (json.is_number_integer()) {
    if (json.is_number_unsigned() &&
        json.get<uint64_t>() > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
      throw JsonValueError(std::string(what) + " does not fit in 64 bits");
    }
    return json.get<int64_t>();
  }
  if (json.is_string()) {
    const std::string text = json.get<std::string>();
    size_t used = 0;
    try {
      const long long value = std::stoll(text, &used, 10);
      if (used == text.size()) return value;
    } catch (const std::exception&) {
    }
  }
  throw JsonValueError(std::string(what) + " is not an integer");
}

double jsonDouble(const Json& json, const char* what) {
  if (json.is_number()) return json.get<double>();
  if (json.is_string()) {
    const std::string text = json.get<std::string>();
    if (text == "NaN") return std::numeric_limits<double>::quiet_NaN();
    if (text == "Infinity") return std::numeric_limits<double>::infinity();
    if (text == "-Infinity") return -std::numeric_limits<double>::infinity();
    if (text == "-0.0") return -0.0;
  }
  throw JsonValueError(std::string(what) + " is not a double");
}

template <typename T, typename Read>
std::vector<T> typedList(const Json& items, const char* tag, Read read) {
  if (!items.is_array()) throw JsonValueError(std::string(tag) + " takes a list");
  std::vector<T> values;
  for (const auto& item : items) values.push_back(static_cast<T>(read(item, tag)));
  return values;
}

EncodableValue integerValue(int64_t value) {
  if (value >= std::numeric_limits<int32_t>::min() &&
      value <= std::numeric_limits<int32_t>::max()) {
    return EncodableValue(static_cast<int32_t>(value));
  }
  return EncodableValue(value);
}

EncodableValue taggedValue(const Json& json) {
  const std::string& tag = json.begin().key();
  const Json& content = json.begin().value();
  if (tag == "$ext") {
    if (json.size() != 2 || !json.contains("value")) {
      throw JsonValueError("\"$ext\" takes a type and a \"value\"");
    }
    const int64_t type = jsonInteger(content, "\"$ext\"");
    if (type < 128 || type > 255) throw JsonValueError("\"$ext\" types are 128 to 255");
    return CustomEncodableValue(static_cast<uint8_t>(type), fromJson(json["value"]));
  }
  if (json.size() != 1) throw JsonValueError("a tag object has one key: " + tag);
  if (tag == "$int32") {
    const int64_t value = jsonInteger(content, "\"$int32\"");
    if (value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max()) {
      throw JsonValueError("\"$int32\" out of range");
    }
    return EncodableValue(static_cast<int32_t>(value));
  }
  if (tag == "$int64") return EncodableValue(jsonInteger(content, "\"$int64\""));
  if (tag == "$float64") return EncodableValue(jsonDouble(content, "\"$float64\""));
  if (tag == "$bytes") {
    if (!content.is_string()) throw JsonValueError("\"$bytes\" takes a hex string");
    return EncodableValue(fromHex(content.get<std::string>()));
  }
  if (tag == "$int32list") {
    return EncodableValue(typedList<int32_t>(content, "\"$int32list\"", [](const Json& j, auto w) {
      const int64_t v = jsonInteger(j, w);
      if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) {
        throw JsonValueError(std::string(w) + " element out of range");
      }
      return v;
    }));
  }
  if (tag == "$int64list")
    return EncodableValue(typedList<int64_t>(content, "\"$int64list\"", jsonInteger));
  if (tag == "$float32list")
    return EncodableValue(typedList<float>(content, "\"$float32list\"", jsonDouble));
  if (tag == "$float64list")
    return EncodableValue(typedList<double>(content, "\"$float64list\"", jsonDouble));
  if (tag == "$map") {
    if (!content.is_array()) throw JsonValueError("\"$map\" takes a list of pairs");
    EncodableMap map;
    for (const auto& pair : content) {
      if (!pair.is_array() || pair.size() != 2) throw JsonValueError("\"$map\" takes pairs");
      map.set(fromJson(pair[0]), fromJson(pair[1]));
    }
    return EncodableValue(std::move(map));
  }
  throw JsonValueError("unknown tag " + tag);
}

}  // namespace

Json toJson(const EncodableValue& value) {
  struct Visitor {
    Json operator()(const std::monostate&) const { return nullptr; }
    Json operator()(bool v) const { return v; }
    Json operator()(int32_t v) const { return v; }
    Json operator()(int64_t v) const { return integerJson(v); }
    Json operator()(double v) const { return doubleJson(v); }
    Json operator()(const std::string& v) const { return v; }
    Json operator()(const std::vector<uint8_t>& v) const { return Json{{"$bytes", toHex(v)}}; }
    Json operator()(const std::vector<int32_t>& v) const { return listJson("$int32list", v); }
    Json operator()(const std::vector<int64_t>& v) const { return listJson("$int64list", v); }
    Json operator()(const std::vector<float>& v) const { return listJson("$float32list", v); }
    Json operator()(const std::vector<double>& v) const { return listJson("$float64list", v); }
    Json operator()(const EncodableList& v) const {
      Json items = Json::array();
      for (const auto& item : v) items.push_back(toJson(item));
      return items;
    }
    Json operator()(const EncodableMap& v) const {
      if (plainStringKeys(v)) {
        Json object = Json::object();
        for (const auto& [key, item] : v) object[*key.string()] = toJson(item);
        return object;
      }
      Json pairs = Json::array();
      for (const auto& [key, item] : v) pairs.push_back(Json::array({toJson(key), toJson(item)}));
      return Json{{"$map", std::move(pairs)}};
    }
    Json operator()(const CustomEncodableValue& v) const {
      return Json{{"$ext", v.type}, {"value", toJson(v.carried())}};
    }
  };
  return std::visit(Visitor{}, value.variant());
}

EncodableValue fromJson(const Json& json) {
  switch (json.type()) {
    case Json::value_t::null:
      return EncodableValue();
    case Json::value_t::boolean:
      return EncodableValue(json.get<bool>());
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
      return integerValue(jsonInteger(json, "a number"));
    case Json::value_t::number_float:
      return EncodableValue(json.get<double>());
    case Json::value_t::string:
      return EncodableValue(json.get<std::string>());
    case Json::value_t::array: {
      EncodableList list;
      for (const auto& item : json) list.push_back(fromJson(item));
      return EncodableValue(std::move(list));
    }
    case Json::value_t::object: {
      if (!json.empty() && json.begin().key().starts_with("$")) return taggedValue(json);
      EncodableMap map;
      for (const auto& [key, item] : json.items()) {
        if (key.starts_with("$")) throw JsonValueError("a tag must be the first key: " + key);
        map.set(EncodableValue(key), fromJson(item));
      }
      return EncodableValue(std::move(map));
    }
    default:
      throw JsonValueError("a JSON value the codec cannot carry");
  }
}

Json replyToJson(const FlutterMethodReply& reply) {
  if (const auto* value = std::get_if<EncodableValue>(&reply)) return toJson(*value);
  if (const auto* error = std::get_if<FlutterError>(&reply)) {
    Json details = Json::object();
    details["code"] = error->code;
    details["message"] = error->message ? Json(*error->message) : Json(nullptr);
    details["details"] = toJson(error->details);
    return Json{{"$error", std::move(details)}};
  }
  return Json{{"$not_implemented", true}};
}

Json parseJson(const std::string& text) {
  try {
    return Json::parse(text);
  } catch (const Json::exception& error) {
    throw JsonValueError("not JSON: " + text);
  }
}

std::string jsonLine(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace tolvekdart
