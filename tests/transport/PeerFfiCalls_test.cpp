// A peer's FFI frames: declared signatures only, text given back only by the peer that
// holds it and only once, queries of a departed peer skipped.
#include "macos/Flutter/engine/PeerFfiCalls.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "macos/Flutter/codec/FlutterMessageCodec.h"
#include "macos/Flutter/engine/FfiBindings.h"

namespace {

std::atomic<int> commands{0};
std::atomic<int> queries{0};
std::atomic<int> frees{0};

}  // namespace

extern "C" {
__attribute__((visibility("default"))) void tolvek_peer_test_command(int32_t) { ++commands; }
__attribute__((visibility("default"))) int32_t tolvek_peer_test_query() { return ++queries; }
__attribute__((visibility("default"))) char* tolvek_peer_test_text() { return strdup("held"); }
__attribute__((visibility("default"))) void tolvek_peer_test_free(char* text) {
  ++frees;
  std::free(text);
}
__attribute__((visibility("default"))) void tolvek_peer_test_undeclared() {}
}

namespace {

const bool kDeclared = [] {
  declareFfiBindingForTesting({"tolvek_peer_test_command", "void(int32)"});
  declareFfiBindingForTesting({"tolvek_peer_test_query", "int32()", true});
  declareFfiBindingForTesting({"tolvek_peer_test_text", "utf8ptr()", true});
  declareFfiBindingForTesting({"tolvek_peer_test_free", "void(ptr)", false, true});
  return true;
}();

EngineFrame frame(const std::string& symbol, const std::string& signature,
                  const EncodableList& arguments = {}) {
  EngineFrame call;
  call.kind = EngineFrameKind::ffi;
  call.symbol = symbol;
  call.signature = signature;
  call.payload = FlutterStandardMessageCodec::sharedInstance()->encode(EncodableValue(arguments));
  return call;
}

std::string errorOf(const EncodableValue& result) {
  const auto* error = result.map() ? result.map()->find("error") : nullptr;
  return error && error->string() ? *error->string() : "";
}

EncodableValue handedOutAddress(const EncodableValue& result) {
  return (*result.map()->find("result")->list())[0];
}

TEST(PeerFfiCalls, OnlyDeclaredExportsWithTheirDeclaredSignatureAreCalled) {
  HandedOutText text;
  const int before = commands;
  EXPECT_EQ(errorOf(performPeerFfiCall(frame("tolvek_peer_test_command", "void(int32)", {1}), text,
                                       false)),
            "");
  EXPECT_EQ(commands, before + 1);
  // A signature the parser accepts but the export does not have: the call is never made.
  for (const char* signature : {"void()", "void(int32,int32)", "void(utf8)", "int32(int32)"}) {
    const auto error =
        errorOf(performPeerFfiCall(frame("tolvek_peer_test_command", signature, {1}), text, false));
    EXPECT_NE(error.find("declared \"void(int32)\""), std::string::npos) << error;
  }
  EXPECT_NE(errorOf(performPeerFfiCall(frame("tolvek_peer_test_undeclared", "void()"), text, false))
                .find("not a declared export"),
            std::string::npos);
  EXPECT_NE(errorOf(performPeerFfiCall(frame("malloc", "ptr()"), text, false))
                .find("not a tolvek_ export"),
            std::string::npos);
  EXPECT_EQ(commands, before + 1);
}

TEST(PeerFfiCalls, TextIsGivenBackOnlyByItsPeerAndOnlyOnce) {
  HandedOutText mine, another;
  const auto held = handedOutAddress(
      performPeerFfiCall(frame("tolvek_peer_test_text", "utf8ptr()"), mine, false));
  const int before = frees;
  const auto freeing = [](const EncodableValue& pointer, HandedOutText& text) {
    return errorOf(
        performPeerFfiCall(frame("tolvek_peer_test_free", "void(ptr)", {pointer}), text, false));
  };
  EXPECT_NE(freeing(held, another).find("not text handed to this peer"), std::string::npos);
  EXPECT_NE(freeing(EncodableValue(int64_t{0x1234}), mine).find("not text handed"),
            std::string::npos);
  EXPECT_EQ(freeing(held, mine), "");
  EXPECT_NE(freeing(held, mine).find("given back already"), std::string::npos);
  EXPECT_EQ(freeing(EncodableValue(), mine), "") << "null is the C contract's no-op";
  EXPECT_EQ(frees, before + 2);
  // Text the peer never gives back goes with its record (a leak otherwise, which the
  // sanitizer phase reports).
  performPeerFfiCall(frame("tolvek_peer_test_text", "utf8ptr()"), mine, false);
}

TEST(PeerFfiCalls, ADepartedPeersQueriesAreSkippedAndItsCommandsStillRun) {
  HandedOutText text;
  const int queriesBefore = queries, commandsBefore = commands;
  EXPECT_NE(errorOf(performPeerFfiCall(frame("tolvek_peer_test_query", "int32()"), text, true)),
            "");
  EXPECT_EQ(errorOf(performPeerFfiCall(frame("tolvek_peer_test_command", "void(int32)", {1}), text,
                                       true)),
            "");
  EXPECT_EQ(queries, queriesBefore);
  EXPECT_EQ(commands, commandsBefore + 1);
}

}  // namespace
