// call, send and desktop: one request, one answer printed.
#include <ostream>

#include "macos/Flutter/codec/FlutterCodecError.h"
#include "tools/tolvek-dart/Commands.h"
#include "tools/tolvek-dart/JsonValues.h"
#include "tools/tolvek-dart/PeerCodecs.h"

namespace tolvekdart {

int runCall(const CommandContext& context, const Arguments& arguments) {
  if (arguments.size() < 2 || arguments.size() > 3) {
    throw UsageError("call CHANNEL METHOD [JSON]");
  }
  const EncodableValue callArguments = jsonArgument(arguments, 2);
  EngineClient client = context.attach();
  context.out << jsonLine(
                     replyToJson(client.invokeMethod(arguments[0], arguments[1], callArguments)))
              << std::endl;
  return 0;
}

int runSend(const CommandContext& context, const Arguments& given) {
  Arguments arguments = given;
  const auto codec = peerMessageCodec(takeOption(arguments, "--codec").value_or("standard"));
  if (arguments.size() != 2) throw UsageError("send [--codec standard|pathprovider] CHANNEL JSON");
  std::vector<uint8_t> message;
  try {
    message = codec->encode(jsonArgument(arguments, 1));
  } catch (const FlutterCodecError& error) {
    throw JsonValueError(std::string("the codec cannot write this value: ") + error.what());
  }
  EngineClient client = context.attach();
  const auto reply = client.sendMessage(arguments[0], message);
  if (reply.empty()) {
    context.out << jsonLine(Json{{"$empty", true}}) << std::endl;
    return 0;
  }
  try {
    context.out << jsonLine(toJson(codec->decode(reply))) << std::endl;
  } catch (const FlutterCodecError& error) {
    throw EngineClientError(std::string("undecodable reply: ") + error.what());
  }
  return 0;
}

int runDesktop(const CommandContext& context, const Arguments& arguments) {
  if (arguments.empty() || arguments.size() > 2) throw UsageError("desktop METHOD [JSON]");
  const EncodableValue callArguments = jsonArgument(arguments, 1);
  EngineClient client = context.attach();
  context.out << jsonLine(replyToJson(client.desktop(arguments[0], callArguments))) << std::endl;
  return 0;
}

}  // namespace tolvekdart
