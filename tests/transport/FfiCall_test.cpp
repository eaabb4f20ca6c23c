// Calling exported functions as Dart's FFI does: by name, with checked arguments.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "macos/Flutter/codec/FlutterMessageCodec.h"
#include "macos/Flutter/engine/FfiRequest.h"

namespace {

std::atomic<int> calls{0};
std::string lastText;
bool lastTextWasNull = false;
const void* lastFreed = nullptr;

}  // namespace

// Exported by this test program, found by name like the host's exports.
extern "C" {
__attribute__((visibility("default"))) int32_t tolvek_test_add(int32_t a, int32_t b) {
  ++calls;
  return a + b;
}
__attribute__((visibility("default"))) void tolvek_test_out(int32_t* first, int32_t* second) {
  ++calls;
  if (first) *first += 10;
  if (second) *second = 7;
}
__attribute__((visibility("default"))) int32_t tolvek_test_text(const char* text, int32_t keep) {
  ++calls;
  lastTextWasNull = text == nullptr;
  lastText = text ? std::string(text) : std::string();
  return text ? static_cast<int32_t>(std::strlen(text)) + keep : -1;
}
__attribute__((visibility("default"))) char* tolvek_test_copy(const char* text) {
  ++calls;
  return text ? strdup(text) : nullptr;
}
__attribute__((visibility("default"))) void tolvek_test_free(void* pointer) {
  ++calls;
  lastFreed = pointer;
  std::free(pointer);
}
__attribute__((visibility("default"))) void tolvek_test_nothing() { ++calls; }
}

namespace {

std::vector<uint8_t> encoded(const EncodableList& arguments) {
  return FlutterStandardMessageCodec::sharedInstance()->encode(EncodableValue(arguments));
}

EncodableValue call(const std::string& symbol, const std::string& signature,
                    const EncodableList& arguments) {
  return performFfiRequest(symbol, signature, encoded(arguments));
}

const EncodableValue& field(const EncodableValue& map, const char* key) {
  static const EncodableValue missing("missing");
  const auto* found = map.map() ? map.map()->find(key) : nullptr;
  return found ? *found : missing;
}

class FfiCall : public ::testing::Test {
 protected:
  void SetUp() override { calls = 0; }
};

TEST_F(FfiCall, Int32ArgumentsAndResult) {
  const auto result = call("tolvek_test_add", "int32(int32,int32)", {40, 2});
  EXPECT_EQ(field(result, "result"), EncodableValue(42));
  EXPECT_EQ(field(result, "out"), EncodableValue(EncodableList{}));
  // Either integer width is accepted where it fits.
  EXPECT_EQ(field(call("tolvek_test_add", "int32(int32,int32)", {int64_t{-5}, -7}), "result"),
            EncodableValue(-12));
}

TEST_F(FfiCall, VoidFunctionReturnsNullAndAcceptsNullAsNoArguments) {
  const auto result = performFfiRequest("tolvek_test_nothing", "void()", {});
  EXPECT_EQ(field(result, "result"), EncodableValue());
  EXPECT_EQ(calls, 1);
}

TEST_F(FfiCall, OutSlotsStartWithTheGivenValueAndComeBackInOrder) {
  auto result = call("tolvek_test_out", "void(outint32,outint32)", {5, 0});
  EXPECT_EQ(field(result, "out"), EncodableValue(EncodableList{15, 7}));
  result = call("tolvek_test_out", "void(outint32,outint32)", {EncodableValue(), 1});
  EXPECT_EQ(field(result, "out"), EncodableValue(EncodableList{EncodableValue(), 7}));
}

TEST_F(FfiCall, TextArgumentsArriveNulTerminated) {
  auto result = call("tolvek_test_text", "int32(utf8,int32)", {"héllo", 0});
  EXPECT_EQ(lastText, "héllo");
  EXPECT_EQ(field(result, "result"), EncodableValue(6));

  // A Uint8List is passed as exactly its bytes, ill-formed text included.
  result =
      call("tolvek_test_text", "int32(utf8,int32)", {std::vector<uint8_t>{0xff, 0xfe, 'a'}, 100});
  EXPECT_EQ(lastText,
            "\xff\xfe"
            "a");
  EXPECT_EQ(field(result, "result"), EncodableValue(103));

  result = call("tolvek_test_text", "int32(utf8,int32)", {EncodableValue(), 0});
  EXPECT_TRUE(lastTextWasNull);
  EXPECT_EQ(field(result, "result"), EncodableValue(-1));
}

TEST_F(FfiCall, ReturnedTextComesWithItsAddressForTheMatchingFree) {
  const auto result = call("tolvek_test_copy", "utf8ptr(utf8)", {"copied"});
  const auto* pair = field(result, "result").list();
  ASSERT_TRUE(pair);
  ASSERT_EQ(pair->size(), 2u);
  const auto bytes = std::get<std::vector<uint8_t>>((*pair)[1]);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "copied");
  const auto address = std::get<int64_t>((*pair)[0]);
  call("tolvek_test_free", "void(ptr)", {address});
  EXPECT_EQ(reinterpret_cast<intptr_t>(lastFreed), address);

  EXPECT_EQ(field(call("tolvek_test_copy", "utf8ptr(utf8)", {EncodableValue()}), "result"),
            EncodableValue());
}

TEST_F(FfiCall, RefusedCallsAreNeverMade) {
  const std::vector<std::tuple<std::string, std::string, EncodableList, std::string>> refused = {
      {"malloc", "ptr()", {}, "not a tolvek_ export"},
      {"free", "void(ptr)", {0}, "not a tolvek_ export"},
      {"Tolvek_test_add", "int32(int32,int32)", {1, 2}, "not a tolvek_ export"},
      {"tolvek_test_add@GLIBC", "int32(int32,int32)", {1, 2}, "not a tolvek_ export"},
      {"tolvek_test_nope", "void()", {}, "no exported function"},
      {"tolvek_test_add", "int32(int32,double)", {1, 2}, "unsupported signature"},
      {"tolvek_test_add", "int32(int32,int32)", {1}, "expected 2 arguments"},
      {"tolvek_test_add", "int32(int32,int32)", {1, 2, 3}, "expected 2 arguments"},
      {"tolvek_test_add", "int32(int32,int32)", {1, int64_t{1} << 31}, "argument 2"},
      {"tolvek_test_add", "int32(int32,int32)", {"1", 2}, "argument 1"},
      {"tolvek_test_add", "int32(int32,int32)", {1.0, 2}, "argument 1"},
      {"tolvek_test_text", "int32(utf8,int32)", {5, 0}, "argument 1"},
      {"tolvek_test_out", "void(outint32,outint32)", {"x", 0}, "argument 1"},
      {"tolvek_test_out", "void(outint32,outint32)", {0, int64_t{-1} << 40}, "argument 2"},
      {"tolvek_test_free", "void(ptr)", {"0x10"}, "argument 1"},
  };
  for (const auto& [symbol, signature, arguments, reason] : refused) {
    const auto result = call(symbol, signature, arguments);
    const auto* error = field(result, "error").string();
    ASSERT_TRUE(error) << symbol << " " << signature;
    EXPECT_NE(error->find(reason), std::string::npos) << *error;
    EXPECT_EQ(result.map()->size(), 1u);
  }
  // Arguments that are not a list, or not even a value.
  EXPECT_TRUE(field(performFfiRequest("tolvek_test_nothing", "void()",
                                      FlutterStandardMessageCodec::sharedInstance()->encode(
                                          EncodableValue(EncodableMap{}))),
                    "error")
                  .string());
  EXPECT_TRUE(
      field(performFfiRequest("tolvek_test_nothing", "void()", {0x0c, 0x05}), "error").string());
  EXPECT_EQ(calls, 0);
}

TEST_F(FfiCall, OnlyTolvekIdentifiersAreLookedUp) {
  std::string error;
  EXPECT_NE(resolveExportedFunction("tolvek_test_add", &error), nullptr);
  EXPECT_EQ(resolveExportedFunction("tolvek_", &error), nullptr);
  EXPECT_EQ(resolveExportedFunction("tolvek_test_add/../x", &error), nullptr);
  EXPECT_EQ(resolveExportedFunction(std::string("tolvek_test_add\0x", 17), &error), nullptr);
}

}  // namespace
