#include <gtest/gtest.h>

#include "macos/Flutter/codec/FlutterCodecError.h"
#include "path_provider_foundation/Sources/path_provider_foundation/messages.g.h"

namespace {

using Bytes = std::vector<uint8_t>;

EncodableValue decode(const Bytes& bytes) { return MessagesPigeonCodec::shared()->decode(bytes); }

}  // namespace

TEST(MessagesPigeonCodec, WritesADirectoryTypeAsByte129AndAStandardInteger) {
  EXPECT_EQ(MessagesPigeonCodec::shared()->encode(encodableDirectoryType(DirectoryType::library)),
            (Bytes{0x81, 0x03, 0x03, 0x00, 0x00, 0x00}));
  // Inside a request list, as the Dart side sends it.
  EXPECT_EQ(MessagesPigeonCodec::shared()->encode(
                EncodableList{encodableDirectoryType(DirectoryType::applicationCache)}),
            (Bytes{0x0c, 0x01, 0x81, 0x03, 0x05, 0x00, 0x00, 0x00}));
  // Everything else is written as the standard codec writes it.
  EXPECT_EQ(MessagesPigeonCodec::shared()->encode(EncodableValue("a")), (Bytes{0x07, 0x01, 'a'}));
}

TEST(MessagesPigeonCodec, ReadsKnownRawValuesOfEitherIntegerWidthAndNilForOthers) {
  EXPECT_EQ(directoryTypeFromEncodable(decode({0x81, 0x03, 0x02, 0x00, 0x00, 0x00})),
            DirectoryType::downloads);
  EXPECT_EQ(directoryTypeFromEncodable(decode({0x81, 0x04, 0x00, 0, 0, 0, 0, 0, 0, 0})),
            DirectoryType::applicationDocuments);
  EXPECT_EQ(decode({0x81, 0x03, 0x07, 0x00, 0x00, 0x00}), EncodableValue());
  EXPECT_EQ(decode({0x81, 0x03, 0xff, 0xff, 0xff, 0xff}), EncodableValue());        // -1
  EXPECT_EQ(decode({0x81, 0x04, 0x01, 0, 0, 0, 0x01, 0, 0, 0}), EncodableValue());  // 2^32 + 1
  EXPECT_EQ(decode({0x81, 0x00}), EncodableValue());
  for (int raw = 0; raw <= 5; ++raw) {
    const auto type = static_cast<DirectoryType>(raw);
    EXPECT_EQ(directoryTypeFromEncodable(
                  decode(MessagesPigeonCodec::shared()->encode(encodableDirectoryType(type)))),
              type);
  }
}

TEST(MessagesPigeonCodec, RefusesA129ThatCarriesNoIntegerOrIsCut) {
  EXPECT_THROW(decode({0x81, 0x07, 0x01, 'x'}), FlutterCodecError);
  EXPECT_THROW(decode({0x81, 0x0c, 0x00}), FlutterCodecError);
  EXPECT_THROW(decode({0x81}), FlutterCodecError);
  EXPECT_THROW(decode({0x81, 0x03, 0x01}), FlutterCodecError);
  // Other extension bytes are still unknown.
  EXPECT_THROW(decode({0x82, 0x00}), FlutterCodecError);
}

TEST(DirectoryType, RawValuesZeroToFiveOnly) {
  EXPECT_EQ(DirectoryTypeFromRawValue(0), DirectoryType::applicationDocuments);
  EXPECT_EQ(DirectoryTypeFromRawValue(5), DirectoryType::applicationCache);
  EXPECT_EQ(DirectoryTypeFromRawValue(6), std::nullopt);
  EXPECT_EQ(DirectoryTypeFromRawValue(-1), std::nullopt);
  EXPECT_EQ(directoryTypeFromEncodable(EncodableValue(3)), std::nullopt);
}
