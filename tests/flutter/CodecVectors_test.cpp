// Every vector of the codec vectors (tests/data/codec-vectors.json), in the directions each one
// names.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>

#include "macos/Flutter/codec/FlutterCodecError.h"
#include "macos/Flutter/codec/FlutterMessageCodec.h"
#include "macos/Flutter/codec/FlutterMethodCodec.h"

namespace {

using nlohmann::json;

std::vector<uint8_t> fromHex(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

// The extensions the vectors use: a point of two raw int32s (128), and the pigeon-style
// "type byte, then one standard value" for every other extension type.
class VectorReader : public FlutterStandardReader {
 public:
  using FlutterStandardReader::FlutterStandardReader;
  EncodableValue readValueOfType(uint8_t type) override {
    if (type == 128) {
      int32_t xy[2];
      readBytes(xy, sizeof xy);
      return CustomEncodableValue(128, EncodableList{EncodableValue(xy[0]), EncodableValue(xy[1])});
    }
    if (type == 129) {
      // SomeData: size + raw bytes, then a standard string; or an enum's index.
      const size_t start = position();
      const uint8_t next = readByte();
      if (next == 3 || next == 4) {
        (void)start;
        return CustomEncodableValue(129, readValueOfType(next));
      }
      std::vector<uint8_t> data(next);
      readBytes(data.data(), data.size());
      EncodableValue label = readValue();
      return CustomEncodableValue(129, EncodableList{EncodableValue(data), label});
    }
    return FlutterStandardReader::readValueOfType(type);
  }
};

class VectorWriter : public FlutterStandardWriter {
 public:
  using FlutterStandardWriter::FlutterStandardWriter;
  void writeValue(const EncodableValue& value) override {
    const auto* custom = std::get_if<CustomEncodableValue>(&value);
    if (custom == nullptr) return FlutterStandardWriter::writeValue(value);
    writeByte(custom->type);
    if (custom->type == 128) {
      const auto& xy = *custom->carried().list();
      const int32_t raw[2] = {std::get<int32_t>(xy[0]), std::get<int32_t>(xy[1])};
      writeBytes(raw, sizeof raw);
    } else if (const auto* fields = custom->carried().list()) {
      const auto& data = std::get<std::vector<uint8_t>>((*fields)[0]);
      writeSize(static_cast<uint32_t>(data.size()));
      writeBytes(data.data(), data.size());
      writeValue((*fields)[1]);
    } else {
      writeValue(custom->carried());
    }
  }
};

class VectorReaderWriter : public FlutterStandardReaderWriter {
 public:
  std::unique_ptr<FlutterStandardReader> readerWithData(const uint8_t* data,
                                                        size_t length) override {
    return std::make_unique<VectorReader>(data, length);
  }
  std::unique_ptr<FlutterStandardWriter> writerWithData(std::vector<uint8_t>& data) override {
    return std::make_unique<VectorWriter>(data);
  }
};

double parseDouble(const json& value) {
  if (value.is_number()) return value.get<double>();
  const auto text = value.get<std::string>();
  if (text == "NaN") return std::nan("");
  if (text == "Infinity") return INFINITY;
  if (text == "-Infinity") return -INFINITY;
  if (text == "-0.0") return -0.0;
  return std::stod(text);
}

EncodableValue toValue(const json& v);

EncodableValue toCustom(const json& c) {
  const uint8_t type = c["type"].get<uint8_t>();
  if (type == 128)
    return CustomEncodableValue(128, EncodableList{EncodableValue(c["x"].get<int32_t>()),
                                                   EncodableValue(c["y"].get<int32_t>())});
  if (c.contains("index")) return CustomEncodableValue(type, toValue(c["index"]));
  return CustomEncodableValue(type,
                              EncodableList{EncodableValue(fromHex(c["data"].get<std::string>())),
                                            EncodableValue(c["label"].get<std::string>())});
}

EncodableValue toValue(const json& v) {
  if (v.is_null()) return EncodableValue();
  if (v.is_boolean()) return EncodableValue(v.get<bool>());
  if (v.is_string()) return EncodableValue(v.get<std::string>());
  if (v.is_array()) {
    EncodableList list;
    for (const auto& element : v) list.push_back(toValue(element));
    return list;
  }
  // A tagged value: an object whose first key is the tag. (The iterator is kept in a
  // variable: what items() yields refers to an iterator that dies with the expression.)
  const auto first = v.begin();
  const std::string tag = first.key();
  const json& body = first.value();
  if (tag == "$int32") return EncodableValue(body.get<int32_t>());
  if (tag == "$int64")
    return EncodableValue(static_cast<int64_t>(std::stoll(body.get<std::string>())));
  if (tag == "$float64") {
    double d = parseDouble(body);
    if (v.contains("bits")) {
      const uint64_t bits = std::stoull(v["bits"].get<std::string>(), nullptr, 16);
      std::memcpy(&d, &bits, sizeof d);
    }
    return EncodableValue(d);
  }
  if (tag == "$bytes") return EncodableValue(fromHex(body.get<std::string>()));
  if (tag == "$bytes_zeros") return EncodableValue(std::vector<uint8_t>(body.get<size_t>(), 0));
  if (tag == "$int32list") return EncodableValue(body.get<std::vector<int32_t>>());
  if (tag == "$int64list") {
    std::vector<int64_t> values;
    for (const auto& n : body) values.push_back(std::stoll(n.get<std::string>()));
    return EncodableValue(values);
  }
  if (tag == "$float32list") {
    std::vector<float> values;
    for (const auto& n : body) values.push_back(static_cast<float>(parseDouble(n)));
    return EncodableValue(values);
  }
  if (tag == "$float64list") {
    std::vector<double> values;
    for (const auto& n : body) values.push_back(parseDouble(n));
    return EncodableValue(values);
  }
  if (tag == "$map") {
    EncodableMap map;
    for (const auto& pair : body) map.append(toValue(pair[0]), toValue(pair[1]));
    return EncodableValue(map);
  }
  if (tag == "$custom") return toCustom(body);
  ADD_FAILURE() << "unknown tag " << tag;
  return EncodableValue();
}

FlutterMethodReply toReply(const json& v) {
  if (v.contains("$success")) return toValue(v["$success"]);
  if (v.contains("$not_implemented")) return FlutterMethodNotImplemented;
  const auto& e = v["$error"];
  return FlutterError{
      e["code"].get<std::string>(),
      e["message"].is_null() ? std::nullopt : std::optional(e["message"].get<std::string>()),
      toValue(e["details"])};
}

std::string hex(const std::vector<uint8_t>& bytes) {
  std::string text;
  char digits[3];
  for (uint8_t b : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", b);
    text += digits;
  }
  return text;
}

std::vector<json> loadVectors() {
  std::ifstream file(TOLVEK_TEST_DATA_DIR "/codec-vectors.json");
  if (!file) return {};
  return json::parse(file).get<std::vector<json>>();
}

// Vectors whose behaviour our own codec rules replace: the C++ wrapper's unpadded empty
// typed lists are never written, and an error envelope's fourth value is read as a stack
// trace, as the Dart side does.
bool followsOtherRules(const std::string& name) {
  return name.find("_no_padding") != std::string::npos ||
         name == "linux/decode_error_error_extra_data";
}

class CodecVectors : public ::testing::Test {
 protected:
  std::shared_ptr<FlutterStandardMessageCodec> messages =
      FlutterStandardMessageCodec::codecWithReaderWriter(std::make_shared<VectorReaderWriter>());
  std::shared_ptr<FlutterStandardMethodCodec> methods =
      FlutterStandardMethodCodec::codecWithReaderWriter(std::make_shared<VectorReaderWriter>());
};

TEST_F(CodecVectors, EveryVectorBehavesAsItsDirectionSays) {
  const auto vectors = loadVectors();
  ASSERT_GT(vectors.size(), 100u) << "the codec vectors are missing";
  int checked = 0;
  for (const auto& v : vectors) {
    const std::string name = v["name"], kind = v["kind"], direction = v["direction"];
    if (followsOtherRules(name)) continue;
    SCOPED_TRACE(name);
    const auto bytes = fromHex(v["hex"]);
    // A null message is written as the byte 00, as the C++ and Linux writers do; the
    // writers that send no bytes at all are only decoded.
    const bool encode = (direction == "roundtrip" || direction == "encode") &&
                        name != "darwin/nil_message_no_bytes";
    const bool decode = direction == "roundtrip" || direction == "decode";
    if (kind == "message") {
      if (direction == "decode_error") {
        EXPECT_THROW(messages->decode(bytes), FlutterCodecError);
      } else {
        const auto value = toValue(v["value"]);
        if (encode) {
          EXPECT_EQ(hex(messages->encode(value)), v["hex"].get<std::string>());
        }
        if (decode) {
          EXPECT_EQ(messages->decode(bytes), value);
        }
      }
    } else if (kind == "method_call") {
      if (direction == "decode_error") {
        EXPECT_THROW(methods->decodeMethodCall(bytes), FlutterCodecError);
      } else {
        const auto& call = v["value"]["$method_call"];
        const FlutterMethodCall expected{call["method"], toValue(call["args"])};
        if (encode) {
          EXPECT_EQ(hex(methods->encodeMethodCall(expected)), v["hex"].get<std::string>());
        }
        if (decode) {
          EXPECT_EQ(methods->decodeMethodCall(bytes), expected);
        }
      }
    } else if (kind == "success_envelope" || kind == "error_envelope" || kind == "reply") {
      if (direction == "decode_error") {
        EXPECT_THROW(methods->decodeEnvelope(bytes), FlutterCodecError);
      } else {
        const auto reply = toReply(v["value"]);
        if (encode) {
          EXPECT_EQ(hex(methods->encodeReply(reply)), v["hex"].get<std::string>());
        }
        if (decode) {
          EXPECT_EQ(methods->decodeEnvelope(bytes), reply);
        }
      }
    } else if (kind == "channel_message") {
      // The end of an event stream is a message without bytes.
      EXPECT_TRUE(bytes.empty());
    } else {
      ADD_FAILURE() << "unknown kind " << kind;
    }
    ++checked;
  }
  EXPECT_GT(checked, 150);
}

TEST_F(CodecVectors, NeverWritesTheUnpaddedEmptyTypedList) {
  EXPECT_EQ(hex(messages->encode(EncodableValue(std::vector<int32_t>{}))), "09000000");
  EXPECT_EQ(hex(messages->encode(EncodableValue(std::vector<double>{}))), "0b00000000000000");
}

TEST_F(CodecVectors, ReadsAnErrorEnvelopesStackTraceAndDropsIt) {
  const auto reply = methods->decodeEnvelope(fromHex("0107056572726f72000000"));
  EXPECT_EQ(reply, FlutterMethodReply(FlutterError{"error", std::nullopt, EncodableValue()}));
  EXPECT_THROW(methods->decodeEnvelope(fromHex("0107056572726f7200000003")), FlutterCodecError);
  EXPECT_THROW(methods->decodeEnvelope(fromHex("0107056572726f72000000032a000000")),
               FlutterCodecError);
}

}  // namespace
