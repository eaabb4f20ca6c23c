// The frame format: what comes out is what went in; anything malformed stops the stream.
#include "macos/Flutter/engine/EngineFrame.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> bytesOf(std::initializer_list<int> values) {
  std::vector<uint8_t> bytes;
  for (const int value : values) bytes.push_back(static_cast<uint8_t>(value));
  return bytes;
}

// A length prefix and then `body`.
std::vector<uint8_t> framed(const std::vector<uint8_t>& body, int64_t length = -1) {
  const uint32_t size =
      length < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(length);
  std::vector<uint8_t> bytes = {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
                                static_cast<uint8_t>(size >> 16), static_cast<uint8_t>(size >> 24)};
  bytes.insert(bytes.end(), body.begin(), body.end());
  return bytes;
}

EngineFrame sample(EngineFrameKind kind) {
  EngineFrame frame;
  frame.kind = kind;
  frame.id = 0x01020304;
  frame.payload = {9, 8, 7};
  if (kind == EngineFrameKind::message) frame.channel = "tolvek/system_scale";
  if (kind == EngineFrameKind::ffi) {
    frame.thread = 3;
    frame.symbol = "tolvek_window_show";
    frame.signature = "void()";
  }
  return frame;
}

std::vector<EngineFrame> readAll(EngineFrameReader& reader) {
  std::vector<EngineFrame> frames;
  while (auto frame = reader.next()) frames.push_back(std::move(*frame));
  return frames;
}

TEST(EngineFrame, EveryKindComesBackAsItWasWritten) {
  for (int kind = 1; kind <= 6; ++kind) {
    const EngineFrame frame = sample(static_cast<EngineFrameKind>(kind));
    const auto bytes = encodeEngineFrame(frame);
    ASSERT_TRUE(bytes);
    EngineFrameReader reader;
    reader.append(bytes->data(), bytes->size());
    const auto frames = readAll(reader);
    ASSERT_EQ(frames.size(), 1u) << "kind " << kind;
    EXPECT_EQ(frames[0], frame);
    EXPECT_EQ(reader.buffered(), 0u);
  }
}

TEST(EngineFrame, MessageLayoutIsLittleEndianWithStr16Channel) {
  EngineFrame frame;
  frame.kind = EngineFrameKind::message;
  frame.id = 258;
  frame.channel = "ab";
  frame.payload = {0xff};
  EXPECT_EQ(*encodeEngineFrame(frame), bytesOf({10, 0, 0, 0, 1, 2, 1, 0, 0, 2, 0, 'a', 'b', 0xff}));
}

TEST(EngineFrame, EmptyPayloadsAndEmptyStringsAreKept) {
  EngineFrame reply;
  reply.kind = EngineFrameKind::reply;
  reply.id = 5;
  const auto bytes = encodeEngineFrame(reply);
  EXPECT_EQ(*bytes, bytesOf({5, 0, 0, 0, 2, 5, 0, 0, 0}));
  EngineFrameReader reader;
  reader.append(bytes->data(), bytes->size());
  EXPECT_EQ(reader.next(), reply);

  EngineFrame message = sample(EngineFrameKind::message);
  message.channel.clear();
  message.payload.clear();
  const auto messageBytes = encodeEngineFrame(message);
  reader.append(messageBytes->data(), messageBytes->size());
  EXPECT_EQ(reader.next(), message);
}

TEST(EngineFrame, FramesSplitAnywhereAndRunTogetherAreCutCorrectly) {
  std::vector<uint8_t> stream;
  std::vector<EngineFrame> sent;
  for (int kind = 1; kind <= 6; ++kind) {
    sent.push_back(sample(static_cast<EngineFrameKind>(kind)));
    const auto bytes = encodeEngineFrame(sent.back());
    stream.insert(stream.end(), bytes->begin(), bytes->end());
  }
  // One byte at a time.
  EngineFrameReader byByte;
  std::vector<EngineFrame> received;
  for (const uint8_t byte : stream) {
    byByte.append(&byte, 1);
    for (auto& frame : readAll(byByte)) received.push_back(std::move(frame));
  }
  EXPECT_EQ(received, sent);
  // All at once.
  EngineFrameReader atOnce;
  atOnce.append(stream.data(), stream.size());
  EXPECT_EQ(readAll(atOnce), sent);
}

TEST(EngineFrame, AnIncompleteFrameWaitsForTheRest) {
  const auto bytes = *encodeEngineFrame(sample(EngineFrameKind::ffi));
  EngineFrameReader reader;
  reader.append(bytes.data(), bytes.size() - 1);
  EXPECT_FALSE(reader.next());
  EXPECT_FALSE(reader.failed());
  EXPECT_EQ(reader.buffered(), bytes.size() - 1);
  reader.append(&bytes.back(), 1);
  EXPECT_TRUE(reader.next());
}

struct Malformed {
  const char* name;
  std::vector<uint8_t> bytes;
};

class MalformedFrame : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedFrame, StopsTheStreamForGood) {
  EngineFrameReader reader;
  const auto& bytes = GetParam().bytes;
  reader.append(bytes.data(), bytes.size());
  EXPECT_FALSE(reader.next());
  EXPECT_TRUE(reader.failed());
  EXPECT_FALSE(reader.error().empty());
  // Nothing after it is read, not even a good frame.
  const auto good = *encodeEngineFrame(sample(EngineFrameKind::reply));
  reader.append(good.data(), good.size());
  EXPECT_FALSE(reader.next());
  EXPECT_EQ(reader.buffered(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    EngineFrame, MalformedFrame,
    ::testing::Values(
        Malformed{"LengthZero", framed({})},
        Malformed{"LengthOverLimit", framed({2, 0, 0, 0, 0}, kEngineFrameMaxBody + 1)},
        Malformed{"LengthMaximal", framed({2, 0, 0, 0, 0}, 0xffffffff)},
        Malformed{"BodyShorterThanHeader", framed({2, 1, 0, 0})},
        Malformed{"KindZero", framed({0, 1, 0, 0, 0})},
        Malformed{"KindSeven", framed({7, 1, 0, 0, 0})},
        Malformed{"KindMax", framed({255, 1, 0, 0, 0})},
        // An unknown kind is refused before the rest of a long body arrives.
        Malformed{"UnknownKindOfAnUnfinishedBody", framed({9, 1, 0, 0, 0}, 1000)},
        Malformed{"MessageWithoutChannelLength", framed({1, 1, 0, 0, 0})},
        Malformed{"MessageWithHalfAChannelLength", framed({1, 1, 0, 0, 0, 3})},
        Malformed{"MessageChannelPastTheBody", framed({1, 1, 0, 0, 0, 3, 0, 'a', 'b'})},
        Malformed{"FfiWithoutThread", framed({3, 1, 0, 0, 0})},
        Malformed{"FfiWithoutSymbol", framed({3, 1, 0, 0, 0, 1})},
        Malformed{"FfiSymbolPastTheBody", framed({3, 1, 0, 0, 0, 1, 9, 0, 't'})},
        Malformed{"FfiWithoutSignature", framed({3, 1, 0, 0, 0, 1, 1, 0, 't'})},
        Malformed{"FfiSignaturePastTheBody", framed({3, 1, 0, 0, 0, 1, 1, 0, 't', 5, 0, 'v'})}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(EngineFrame, TheLargestBodyIsAcceptedAndOneByteMoreIsNot) {
  EngineFrame frame;
  frame.kind = EngineFrameKind::reply;
  frame.payload.assign(kEngineFrameMaxBody - 5, 0xab);
  const auto bytes = encodeEngineFrame(frame);
  ASSERT_TRUE(bytes);
  EngineFrameReader reader;
  reader.append(bytes->data(), bytes->size());
  const auto parsed = reader.next();
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->payload.size(), kEngineFrameMaxBody - 5);

  frame.payload.push_back(0);
  EXPECT_FALSE(encodeEngineFrame(frame));
}

TEST(EngineFrame, StringsLongerThanStr16CannotBeWritten) {
  EngineFrame frame = sample(EngineFrameKind::message);
  frame.channel.assign(65535, 'c');
  EXPECT_TRUE(encodeEngineFrame(frame));
  frame.channel.push_back('c');
  EXPECT_FALSE(encodeEngineFrame(frame));
  EngineFrame call = sample(EngineFrameKind::ffi);
  call.signature.assign(65536, 's');
  EXPECT_FALSE(encodeEngineFrame(call));
}

TEST(EngineFrame, ABodyParsedAloneReportsWhyItFails) {
  std::string error;
  const auto body = bytesOf({1, 0, 0, 0, 0, 5, 0});
  EXPECT_FALSE(parseEngineFrameBody(body.data(), body.size(), &error));
  EXPECT_EQ(error, "truncated channel name");
}

}  // namespace
