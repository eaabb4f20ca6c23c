#pragma once

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "macos/Flutter/codec/EncodableValue.h"
#include "macos/Flutter/codec/FlutterMethodCodec.h"

// Values of the standard codec as JSON, both ways. JSON keeps what it can hold as itself;
// the rest carries a small tag object (see README.md):
//   {"$int64": "9007199254740993"}   an integer beyond 2^53 (or one marked 64-bit)
//   {"$int32": 5}                    an integer marked 32-bit (input only)
//   {"$float64": "NaN"}              NaN and the infinities; integral doubles print as 2.0
//   {"$bytes": "00ff"}               a Uint8List, in hex
//   {"$int32list": [...]}, {"$int64list": [...]}, {"$float32list": [...]},
//   {"$float64list": [...]}          the typed lists
//   {"$map": [[key, value], ...]}    a map whose keys are not all plain strings
//   {"$ext": 129, "value": 2}        an extension value of a derived codec
// Method replies add {"$error": {"code", "message", "details"}} and
// {"$not_implemented": true}.
namespace tolvekdart {

using Json = nlohmann::ordered_json;

class JsonValueError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

Json toJson(const EncodableValue& value);
// Throws JsonValueError for a tag it does not know or a value that does not fit.
EncodableValue fromJson(const Json& json);

Json replyToJson(const FlutterMethodReply& reply);

// Parses JSON text; throws JsonValueError.
Json parseJson(const std::string& text);
// One line of output: the value as compact JSON (ill-formed UTF-8 replaced).
std::string jsonLine(const Json& json);

}  // namespace tolvekdart
