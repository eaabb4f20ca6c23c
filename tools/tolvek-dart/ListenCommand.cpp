// listen: subscribes to an event channel and prints each event as it comes.
#include <iostream>

#include "macos/Flutter/codec/FlutterCodecError.h"
#include "tools/tolvek-dart/Commands.h"
#include "tools/tolvek-dart/JsonValues.h"

namespace tolvekdart {

int runListen(const CommandContext& context, const Arguments& given) {
  Arguments arguments = given;
  const auto count = takeOption(arguments, "--count");
  const auto seconds = takeOption(arguments, "--seconds");
  if (arguments.empty() || arguments.size() > 2) {
    throw UsageError("listen CHANNEL [--count N] [--seconds S] [JSON]");
  }
  const std::string& channel = arguments[0];
  const EncodableValue listenArguments = jsonArgument(arguments, 1);
  long wanted = -1;
  EngineClient::Clock::time_point deadline = EngineClient::Clock::time_point::max();
  try {
    if (count) wanted = std::stol(*count);
    if (seconds) {
      deadline =
          EngineClient::Clock::now() + std::chrono::duration_cast<EngineClient::Clock::duration>(
                                           std::chrono::duration<double>(std::stod(*seconds)));
    }
  } catch (const std::exception&) {
    throw UsageError("--count takes an integer and --seconds a number");
  }

  EngineClient client = context.attach();
  const auto reply = client.invokeMethod(channel, "listen", listenArguments);
  if (std::holds_alternative<FlutterMethodNotImplementedType>(reply)) {
    throw EngineClientError("no stream handler on " + channel);
  }
  if (const auto* error = std::get_if<FlutterError>(&reply)) {
    throw EngineClientError("listen failed: " + jsonLine(replyToJson(*error)));
  }

  const auto codec = FlutterStandardMethodCodec::sharedInstance();
  for (long printed = 0; wanted < 0 || printed < wanted;) {
    auto message = client.nextHostMessage(deadline);
    if (!message) break;  // the time is up
    if (message->channel != channel) continue;
    if (message->payload.empty()) {
      context.out << jsonLine(Json{{"$end_of_stream", true}}) << std::endl;
      return 0;
    }
    try {
      context.out << jsonLine(replyToJson(codec->decodeEnvelope(message->payload))) << std::endl;
    } catch (const FlutterCodecError& error) {
      throw EngineClientError(std::string("undecodable event: ") + error.what());
    }
    ++printed;
  }
  // Done listening: the stream is cancelled with the same arguments, as Dart does.
  client.invokeMethod(channel, "cancel", listenArguments);
  return 0;
}

}  // namespace tolvekdart
