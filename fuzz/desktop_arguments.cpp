// DESKTOP method calls as a peer may send them: any bytes are refused by the codec, or read
// by every argument reader under every key without anything but std::invalid_argument
// escaping; what a reader returns has the shape it promises.
#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "macos/Flutter/codec/FlutterCodecError.h"
#include "macos/Flutter/codec/FlutterMethodCodec.h"
#include "macos/Flutter/engine/DesktopArguments.h"

namespace {

template <typename Read>
void tolerate(Read read) {
  try {
    read();
  } catch (const std::invalid_argument&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FlutterMethodCall call;
  try {
    call = FlutterStandardMethodCodec::sharedInstance()->decodeMethodCall(
        std::vector<uint8_t>(data, data + size));
  } catch (const FlutterCodecError&) {
    return 0;
  }
  std::unique_ptr<DesktopArguments> arguments;
  tolerate([&] { arguments = std::make_unique<DesktopArguments>(call.arguments); });
  if (!arguments) return 0;
  for (const char* key : {"window", "frame", "screens", "mainScreen", "items", "urls", "response",
                          "location", "backingScaleFactor", "title", ""}) {
    tolerate([&] { arguments->integer(key); });
    tolerate([&] { arguments->optionalInteger(key); });
    tolerate([&] { arguments->boolean(key); });
    tolerate([&] { arguments->optionalBoolean(key); });
    tolerate([&] { arguments->string(key); });
    tolerate([&] { arguments->optionalString(key); });
    tolerate([&] { arguments->list(key); });
    tolerate([&] {
      if (!std::isfinite(arguments->number(key))) std::abort();
    });
    tolerate([&] {
      const auto numbers = arguments->numbers(key, 4);
      if (numbers.size() != 4) std::abort();
      for (const double number : numbers)
        if (!std::isfinite(number)) std::abort();
    });
  }
  return 0;
}
