// The peer's JSON forms of codec values, and its raw-message codecs.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tools/tolvek-dart/JsonValues.h"
#include "tools/tolvek-dart/PeerCodecs.h"

namespace {

using tolvekdart::fromJson;
using tolvekdart::Json;
using tolvekdart::jsonLine;
using tolvekdart::parseJson;
using tolvekdart::toJson;

std::string line(const EncodableValue& value) { return jsonLine(toJson(value)); }
EncodableValue value(const std::string& text) { return fromJson(parseJson(text)); }

TEST(PeerValues, JsonHoldsWhatItCanAsItself) {
  EXPECT_EQ(line(EncodableValue()), "null");
  EXPECT_EQ(line(EncodableValue(true)), "true");
  EXPECT_EQ(line(EncodableValue(-5)), "-5");
  EXPECT_EQ(line(EncodableValue("tab\t")), "\"tab\\t\"");
  EXPECT_EQ(line(EncodableValue(EncodableList{1, "a"})), "[1,\"a\"]");
  EncodableMap map;
  map.set("b", 1);
  map.set("a", 2);
  EXPECT_EQ(line(EncodableValue(map)), "{\"b\":1,\"a\":2}");  // wire order kept
}

TEST(PeerValues, DoublesStayDoubles) {
  EXPECT_EQ(line(EncodableValue(2.0)), "2.0");
  EXPECT_EQ(line(EncodableValue(-0.0)), "-0.0");
  EXPECT_EQ(line(EncodableValue(std::nan(""))), "{\"$float64\":\"NaN\"}");
  EXPECT_EQ(line(EncodableValue(-std::numeric_limits<double>::infinity())),
            "{\"$float64\":\"-Infinity\"}");
  EXPECT_EQ(value("2.0"), EncodableValue(2.0));
  EXPECT_EQ(value("2"), EncodableValue(2));
  EXPECT_TRUE(std::isinf(*value("{\"$float64\":\"Infinity\"}").float64()));
}

TEST(PeerValues, IntegersBeyondDoublePrecisionAreTagged) {
  const int64_t limit = int64_t{1} << 53;
  EXPECT_EQ(line(EncodableValue(limit)), "9007199254740992");
  EXPECT_EQ(line(EncodableValue(limit + 1)), "{\"$int64\":\"9007199254740993\"}");
  EXPECT_EQ(line(EncodableValue(std::numeric_limits<int64_t>::min())),
            "{\"$int64\":\"-9223372036854775808\"}");
  EXPECT_EQ(value("{\"$int64\":\"9007199254740993\"}"), EncodableValue(limit + 1));
  // Width follows the value unless a tag says otherwise.
  EXPECT_EQ(value("2147483647"), EncodableValue(int32_t{2147483647}));
  EXPECT_EQ(value("2147483648"), EncodableValue(int64_t{2147483648}));
  EXPECT_EQ(value("{\"$int64\":5}"), EncodableValue(int64_t{5}));
  EXPECT_EQ(value("{\"$int32\":5}"), EncodableValue(int32_t{5}));
}

TEST(PeerValues, ByteAndTypedListsAreTagged) {
  const std::vector<std::pair<EncodableValue, std::string>> cases = {
      {EncodableValue(std::vector<uint8_t>{0, 0xab, 0xff}), "{\"$bytes\":\"00abff\"}"},
      {EncodableValue(std::vector<int32_t>{-1, 2}), "{\"$int32list\":[-1,2]}"},
      {EncodableValue(std::vector<int64_t>{(int64_t{1} << 60), 3}),
       "{\"$int64list\":[\"1152921504606846976\",3]}"},
      {EncodableValue(std::vector<float>{0.5f}), "{\"$float32list\":[0.5]}"},
      {EncodableValue(std::vector<double>{1.0, std::nan("")}), "{\"$float64list\":[1.0,\"NaN\"]}"},
  };
  for (const auto& [original, text] : cases) {
    EXPECT_EQ(line(original), text);
    EXPECT_EQ(value(text), original) << text;
  }
}

TEST(PeerValues, MapsWithOtherKeysAndExtensionsAreTagged) {
  EncodableMap map;
  map.set(1, "one");
  map.set("$sign", true);
  const std::string text = "{\"$map\":[[1,\"one\"],[\"$sign\",true]]}";
  EXPECT_EQ(line(EncodableValue(map)), text);
  EXPECT_EQ(value(text), EncodableValue(map));

  const EncodableValue extension = CustomEncodableValue(129, EncodableValue(2));
  EXPECT_EQ(line(extension), "{\"$ext\":129,\"value\":2}");
  EXPECT_EQ(value("{\"$ext\":129,\"value\":2}"), extension);
}

TEST(PeerValues, UnreadableTagsAreRefused) {
  for (const char* text : {"{\"$bytes\":\"abc\"}", "{\"$bytes\":\"zz\"}", "{\"$int32\":2147483648}",
                           "{\"$int64\":\"12x\"}", "{\"$nope\":1}", "{\"$ext\":12,\"value\":1}",
                           "{\"$ext\":129}", "{\"$int32list\":[1,\"a\"]}", "{\"$map\":[[1]]}",
                           "{\"a\":1,\"$bytes\":\"00\"}", "18446744073709551615"}) {
    EXPECT_THROW(value(text), tolvekdart::JsonValueError) << text;
  }
  EXPECT_THROW(parseJson("{"), tolvekdart::JsonValueError);
}

TEST(PeerValues, MethodRepliesHaveTheirOwnForms) {
  using tolvekdart::replyToJson;
  EXPECT_EQ(jsonLine(replyToJson(FlutterMethodReply(EncodableValue(1.5)))), "1.5");
  EXPECT_EQ(jsonLine(replyToJson(FlutterMethodNotImplemented)), "{\"$not_implemented\":true}");
  EXPECT_EQ(jsonLine(replyToJson(FlutterError::errorWithCode("bad-arguments", "no window"))),
            "{\"$error\":{\"code\":\"bad-arguments\",\"message\":\"no window\",\"details\":null}}");
}

TEST(PeerCodecs, ThePathProviderCodecWritesTheDirectoryTypeAsByte129AndAValue) {
  const auto codec = tolvekdart::peerMessageCodec("pathprovider");
  const EncodableValue request(EncodableList{CustomEncodableValue(129, EncodableValue(2))});
  const auto bytes = codec->encode(request);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0x0c, 0x01, 0x81, 0x03, 0x02, 0x00, 0x00, 0x00}));
  EXPECT_EQ(codec->decode(bytes), request);
  // Other extension types are not its own.
  EXPECT_ANY_THROW(codec->encode(EncodableValue(CustomEncodableValue(130, EncodableValue(1)))));
  EXPECT_ANY_THROW(tolvekdart::peerMessageCodec("standard")->encode(request));
  EXPECT_THROW(tolvekdart::peerMessageCodec("binary"), std::invalid_argument);
}

}  // namespace
