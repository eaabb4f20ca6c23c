#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "macos/Flutter/codec/FlutterCodecError.h"
#include "macos/Flutter/codec/FlutterMessageCodec.h"
#include "macos/Flutter/codec/FlutterMethodCodec.h"
#include "tests/support/ChannelBenchmarkPayload.h"

namespace {

const auto& codec() { return *FlutterStandardMessageCodec::sharedInstance(); }

std::vector<uint8_t> encodeAt(size_t offset, const EncodableValue& value) {
  // Values written after `offset` bytes of a list of nulls: the list header takes 2 bytes
  // for up to 253 elements, so prefix lengths cover every alignment.
  std::vector<uint8_t> data;
  FlutterStandardWriter writer(data);
  for (size_t i = 0; i < offset; ++i) writer.writeByte(0);
  writer.writeValue(value);
  return data;
}

TEST(StandardCodec, SizePrefixesUseTheShortestFormAtEachBoundary) {
  const struct {
    size_t size;
    std::vector<uint8_t> prefix;
  } cases[] = {{253, {0xfd}},
               {254, {0xfe, 0xfe, 0x00}},
               {65535, {0xfe, 0xff, 0xff}},
               {65536, {0xff, 0x00, 0x00, 0x01, 0x00}}};
  for (const auto& c : cases) {
    const EncodableValue value(std::vector<uint8_t>(c.size, 7));
    const auto bytes = codec().encode(value);
    ASSERT_EQ(bytes.size(), 1 + c.prefix.size() + c.size) << c.size;
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 1, bytes.begin() + 1 + c.prefix.size()),
              c.prefix);
    EXPECT_EQ(codec().decode(bytes), value) << c.size;
  }
}

TEST(StandardCodec, DoublesAndTypedListsAlignFromTheStartOfTheBuffer) {
  const EncodableValue values[] = {
      EncodableValue(1.5), EncodableValue(std::vector<double>{1.5, -2}),
      EncodableValue(std::vector<int64_t>{1, -2}), EncodableValue(std::vector<int32_t>{1, -2}),
      EncodableValue(std::vector<float>{1.5f, -2.f})};
  for (const auto& value : values) {
    for (size_t offset = 0; offset < 8; ++offset) {
      const auto bytes = encodeAt(offset, value);
      const size_t alignment = std::holds_alternative<std::vector<int32_t>>(value) ||
                                       std::holds_alternative<std::vector<float>>(value)
                                   ? 4
                                   : 8;
      // The data starts at a multiple of the alignment and ends the buffer.
      const size_t dataLength = std::visit(
          [](const auto& v) -> size_t {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, double>) {
              return 8;
            } else if constexpr (requires {
                                   v.size();
                                   typename T::value_type;
                                 }) {
              return v.size() * sizeof(typename T::value_type);
            } else {
              return 0;
            }
          },
          value.variant());
      EXPECT_EQ((bytes.size() - dataLength) % alignment, 0u) << offset;
      FlutterStandardReader reader(bytes.data(), bytes.size());
      for (size_t i = 0; i < offset; ++i) reader.readByte();
      EXPECT_EQ(reader.readValue(), value) << offset;
      EXPECT_FALSE(reader.hasMore());
    }
  }
}

// Contents long enough to be appended whole, between small values that are stored in room
// made ahead: every byte lands in its place, at every alignment of the buffer's start.
TEST(StandardCodec, LongContentsBetweenSmallValuesRoundTripAtEveryAlignment) {
  const EncodableValue value(EncodableList{
      EncodableValue(1), EncodableValue(std::string(5000, 'x')), EncodableValue(2.5),
      EncodableValue(std::vector<double>(700, -1.25)), EncodableValue("tail"),
      EncodableValue(std::vector<uint8_t>(4096, 9)), EncodableValue(std::vector<int32_t>{7})});
  for (size_t offset = 0; offset < 8; ++offset) {
    const auto bytes = encodeAt(offset, value);
    FlutterStandardReader reader(bytes.data(), bytes.size());
    for (size_t i = 0; i < offset; ++i) reader.readByte();
    EXPECT_EQ(reader.readValue(), value) << offset;
    EXPECT_FALSE(reader.hasMore()) << offset;
  }
}

// A message is not always where its own alignment counts from: typed lists in one that
// starts at an odd address come out the same.
TEST(StandardCodec, TypedListsReadTheSameFromAMessageAtAnOddAddress) {
  const EncodableValue value(EncodableList{EncodableValue(std::vector<double>{1.5, -2}),
                                           EncodableValue(std::vector<int32_t>{3, -4}),
                                           EncodableValue(std::vector<float>{0.5f})});
  const auto bytes = codec().encode(value);
  std::vector<uint8_t> shifted(bytes.size() + 1);
  std::copy(bytes.begin(), bytes.end(), shifted.begin() + 1);
  EXPECT_EQ(codec().decode(shifted.data() + 1, bytes.size()), value);
}

EncodableValue sampleTree() {
  EncodableMap inner{{EncodableValue(1.25), EncodableValue(std::vector<int32_t>{1, 2, 3})},
                     {EncodableValue(EncodableList{EncodableValue(), EncodableValue(true)}),
                      EncodableValue("list key")}};
  EncodableMap outer{{EncodableValue("inner"), EncodableValue(inner)},
                     {EncodableValue(), EncodableValue(int64_t{1} << 40)},
                     {EncodableValue(int32_t{-1}), EncodableValue(std::vector<uint8_t>{0, 255})}};
  return EncodableValue(
      EncodableList{EncodableValue(outer), EncodableValue("h\xE2\x98\xBAw"),
                    EncodableValue(std::vector<float>{0.5f}),
                    EncodableValue(EncodableList{EncodableValue(EncodableList{})})});
}

TEST(StandardCodec, NestedListsAndMapsWithAnyKeysRoundTrip) {
  const auto value = sampleTree();
  EXPECT_EQ(codec().decode(codec().encode(value)), value);
}

TEST(StandardCodec, StringsThatAreNotUtf8GoOutRepairedKeysToo) {
  const EncodableValue value =
      EncodableMap{{"caf\xE9", EncodableList{"ok \xE2\x98\xBA", "cut \xE2\x82"}}};
  EXPECT_EQ(codec().decode(codec().encode(value)),
            EncodableValue(EncodableMap{
                {"caf\xEF\xBF\xBD", EncodableList{"ok \xE2\x98\xBA", "cut \xEF\xBF\xBD"}}}));
}

// A list header (type 12, size in the 5-byte form) for `count` elements.
std::vector<uint8_t> listOf(uint32_t count, uint8_t elementType) {
  std::vector<uint8_t> bytes{12, 255};
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(count >> (8 * i)));
  bytes.resize(bytes.size() + count, elementType);
  return bytes;
}

TEST(StandardCodec, AMessageThatWouldCostFarMoreThanItsSizeIsRefusedBeforeAllocating) {
  // 16 M nulls: 16 MiB on the wire, hundreds of MiB as values.
  try {
    codec().decode(listOf(16u << 20, 0));
    FAIL() << "decoded";
  } catch (const FlutterCodecError& error) {
    EXPECT_NE(std::string(error.what()).find("memory budget"), std::string::npos) << error.what();
  }
  // Real payloads stay well inside: 100,000 int32 values, a 4 MiB byte list, long strings.
  std::vector<uint8_t> ints{12, 255, 0xA0, 0x86, 0x01, 0x00};  // 100,000 elements
  for (int i = 0; i < 100000; ++i) ints.insert(ints.end(), {3, 1, 0, 0, 0});
  EXPECT_EQ(codec().decode(ints).list()->size(), 100000u);
  const EncodableValue bytes(std::vector<uint8_t>(4u << 20, 7));
  EXPECT_EQ(codec().decode(codec().encode(bytes)), bytes);
  const EncodableValue text(std::string(3u << 20, 'x'));
  EXPECT_EQ(codec().decode(codec().encode(text)), text);
}

TEST(StandardCodec, DecodesInProgressTogetherStayUnderTheirBound) {
  FlutterStandardReader::setConcurrentBudgetForTesting(size_t{6} << 20);
  const auto message = codec().encode(EncodableValue(std::vector<uint8_t>(4u << 20, 1)));
  {
    // One decode holds 4 MiB while a second one runs: together over 6 MiB.
    FlutterStandardReader holding(message.data(), message.size());
    const EncodableValue held = holding.readValue();
    EXPECT_THROW(codec().decode(message), FlutterCodecError);
  }
  // Once the first is done, the second fits.
  EXPECT_NO_THROW(codec().decode(message));
  FlutterStandardReader::setConcurrentBudgetForTesting(std::nullopt);
}

TEST(StandardCodec, TruncatedInputFailsAtEveryBytePosition) {
  const auto bytes = codec().encode(sampleTree());
  for (size_t length = 1; length < bytes.size(); ++length) {
    EXPECT_THROW(codec().decode(bytes.data(), length), FlutterCodecError) << length;
  }
}

TEST(StandardCodec, TrailingBytesAreAnError) {
  auto bytes = codec().encode(EncodableValue(int32_t{7}));
  bytes.push_back(0);
  EXPECT_THROW(codec().decode(bytes), FlutterCodecError);
}

TEST(StandardCodec, DeclaredSizesBeyondTheInputFailBeforeAllocating) {
  // A list, a map, a string and a typed list each claiming 4 GiB.
  for (uint8_t type : {0x07, 0x08, 0x0b, 0x0c, 0x0d}) {
    const std::vector<uint8_t> bytes{type, 0xff, 0xff, 0xff, 0xff, 0xff, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_THROW(codec().decode(bytes), FlutterCodecError) << int(type);
  }
}

TEST(StandardCodec, DeepNestingIsRefusedWithoutExhaustingTheStack) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 100000; ++i) {
    bytes.push_back(0x0c);
    bytes.push_back(1);
  }
  bytes.push_back(0);
  EXPECT_THROW(codec().decode(bytes), FlutterCodecError);
}

TEST(StandardCodec, UnknownAndExtensionTypesAreErrorsForTheStandardCodec) {
  for (uint8_t type : {0x0f, 0x7f, 0x80, 0xff}) {
    EXPECT_THROW(codec().decode(std::vector<uint8_t>{type}), FlutterCodecError) << int(type);
  }
  EXPECT_THROW(codec().encode(EncodableValue(CustomEncodableValue(129, EncodableValue(1)))),
               FlutterCodecError);
}

TEST(StandardCodec, DuplicateMapKeysKeepTheLastValueAtTheFirstPlace) {
  // {"a": 1, "b": 2, "a": 3}
  const std::vector<uint8_t> bytes{0x0d, 3, 0x07, 1, 'a', 0x03, 1, 0,   0,    0, 0x07, 1, 'b',
                                   0x03, 2, 0,    0, 0,   0x07, 1, 'a', 0x03, 3, 0,    0, 0};
  const auto map = *codec().decode(bytes).map();
  ASSERT_EQ(map.size(), 2u);
  EXPECT_EQ(map.begin()->first, EncodableValue("a"));
  EXPECT_EQ(*map.find("a"), EncodableValue(3));
  EXPECT_EQ(*map.find("b"), EncodableValue(2));
}

TEST(StandardCodec, ValueEqualityIgnoresMapOrderButNotIntegerWidth) {
  const EncodableMap ab{{EncodableValue("a"), EncodableValue(1)},
                        {EncodableValue("b"), EncodableValue(2)}};
  const EncodableMap ba{{EncodableValue("b"), EncodableValue(2)},
                        {EncodableValue("a"), EncodableValue(1)}};
  EXPECT_EQ(EncodableValue(ab), EncodableValue(ba));
  EXPECT_NE(EncodableValue(int32_t{1}), EncodableValue(int64_t{1}));
  EXPECT_EQ(EncodableValue(int64_t{1}).integer(), EncodableValue(int32_t{1}).integer());
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(EncodableValue(nan), EncodableValue(nan));
  EXPECT_NE(EncodableValue(0.0), EncodableValue(-0.0));
}

TEST(StandardCodec, EmptyMessageIsNull) {
  EXPECT_TRUE(codec().decode(std::vector<uint8_t>{}).isNull());
}

TEST(StandardMethodCodec, RejectsUnknownEnvelopeKindsAndNonStringCodes) {
  const auto& methods = *FlutterStandardMethodCodec::sharedInstance();
  EXPECT_THROW(methods.decodeEnvelope({2, 0}), FlutterCodecError);
  EXPECT_THROW(methods.decodeEnvelope({1, 3, 1, 0, 0, 0, 0, 0}), FlutterCodecError);
  EXPECT_THROW(methods.decodeMethodCall({3, 1, 0, 0, 0, 0}), FlutterCodecError);
}

}  // namespace

namespace {

TEST(StandardCodec, FlutterChannelBenchmarkPayloadIs14214Bytes) {
  EXPECT_EQ(codec().encode(channelBenchmarkPayload()).size(), 14214u);
}

}  // namespace
