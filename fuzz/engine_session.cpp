// A whole peer session read through the frame reader: the input is cut into pieces of
// sizes taken from its own first bytes, as a socket would deliver it. Every frame that
// comes out must encode back to the same bytes and parse again to the same frame, and
// FFI signatures in it must parse or be refused cleanly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "macos/Flutter/engine/EngineFrame.h"
#include "macos/Flutter/engine/FfiSignature.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t piece = 1 + data[0] % 64;
  data += 1;
  size -= 1;

  EngineFrameReader reader;
  for (size_t offset = 0; offset < size && !reader.failed(); offset += piece) {
    const size_t length = offset + piece > size ? size - offset : piece;
    reader.append(data + offset, length);
    while (auto frame = reader.next()) {
      const auto bytes = encodeEngineFrame(*frame);
      if (!bytes) std::abort();  // whatever parsed must be writable
      const auto again = parseEngineFrameBody(bytes->data() + 4, bytes->size() - 4);
      if (!again || !(*again == *frame)) std::abort();
      if (frame->kind == EngineFrameKind::ffi) {
        std::string error;
        const auto signature = parseFfiSignature(frame->signature, &error);
        if (!signature && error.empty()) std::abort();
      }
    }
  }
  return 0;
}
