// FFI frames as a peer may send them, against exports of this program's own: the input
// picks an export, a signature and the argument bytes. Whatever the frame says, a call is
// either refused or made with arguments of the declared kinds; text handed out is given
// back only once, and the record frees what is left.
#include <cstdlib>
#include <cstring>
#include <string>

#include "macos/Flutter/engine/FfiBindings.h"
#include "macos/Flutter/engine/PeerFfiCalls.h"

extern "C" {
__attribute__((visibility("default"))) int32_t tolvek_fuzz_add(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
__attribute__((visibility("default"))) int32_t tolvek_fuzz_length(const char* text) {
  return text ? static_cast<int32_t>(std::strlen(text)) : -1;
}
__attribute__((visibility("default"))) void tolvek_fuzz_out(int32_t* first, int32_t* second) {
  if (first) *first += 1;
  if (second) *second = 7;
}
__attribute__((visibility("default"))) char* tolvek_fuzz_text(const char* text) {
  return strdup(text ? text : "");
}
__attribute__((visibility("default"))) void tolvek_fuzz_free(char* text) { std::free(text); }
}

namespace {

const char* const kSymbols[] = {
    "tolvek_fuzz_add",  "tolvek_fuzz_length", "tolvek_fuzz_out", "tolvek_fuzz_text",
    "tolvek_fuzz_free", "tolvek_fuzz_none",   "malloc",          "tolvek_"};

const bool kDeclared = [] {
  declareFfiBindingForTesting({"tolvek_fuzz_add", "int32(int32,int32)", true});
  declareFfiBindingForTesting({"tolvek_fuzz_length", "int32(utf8)", true});
  declareFfiBindingForTesting({"tolvek_fuzz_out", "void(outint32,outint32)", true});
  declareFfiBindingForTesting({"tolvek_fuzz_text", "utf8ptr(utf8)", true});
  declareFfiBindingForTesting({"tolvek_fuzz_free", "void(ptr)", false, true});
  return true;
}();

}  // namespace

// Input: a symbol index byte, a signature length byte and that many signature bytes, then
// frames' argument payloads, each behind a two-byte length, all sent by one peer.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  (void)kDeclared;
  HandedOutText text;
  size_t at = 0;
  while (at + 2 <= size) {
    EngineFrame frame;
    frame.kind = EngineFrameKind::ffi;
    frame.symbol = kSymbols[data[at] % (sizeof kSymbols / sizeof kSymbols[0])];
    const size_t signatureLength = data[at + 1];
    at += 2;
    if (at + signatureLength > size) return 0;
    frame.signature.assign(reinterpret_cast<const char*>(data + at), signatureLength);
    at += signatureLength;
    if (at + 2 > size) return 0;
    const size_t payloadLength = data[at] | data[at + 1] << 8;
    at += 2;
    if (at + payloadLength > size) return 0;
    frame.payload.assign(data + at, data + at + payloadLength);
    at += payloadLength;
    const auto result = performPeerFfiCall(frame, text, false);
    if (result.map() == nullptr) std::abort();
  }
  return 0;
}
