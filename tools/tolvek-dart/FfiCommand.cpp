// ffi: calls an exported function on a chosen Dart thread and prints its result.
#include <iostream>

#include "tools/tolvek-dart/Commands.h"
#include "tools/tolvek-dart/JsonValues.h"

namespace tolvekdart {

int runFfi(const CommandContext& context, const Arguments& given) {
  Arguments arguments = given;
  const auto thread = takeOption(arguments, "--thread");
  if (arguments.size() < 2) throw UsageError("ffi [--thread N] SYMBOL SIGNATURE [ARGS...]");
  int threadNumber = 0;
  if (thread) {
    try {
      threadNumber = std::stoi(*thread);
    } catch (const std::exception&) {
      threadNumber = -1;
    }
    if (threadNumber < 0 || threadNumber > 255) throw UsageError("--thread takes 0 to 255");
  }
  EncodableList callArguments;
  for (size_t i = 2; i < arguments.size(); ++i) {
    callArguments.push_back(jsonArgument(arguments, i));
  }

  EngineClient client = context.attach();
  const EncodableValue result =
      client.callFfi(static_cast<uint8_t>(threadNumber), arguments[0], arguments[1], callArguments);
  if (const auto* map = result.map()) {
    if (const auto* error = map->find("error")) {
      const auto* reason = error->string();
      throw EngineClientError("refused: " + (reason ? *reason : jsonLine(toJson(*error))));
    }
  }
  context.out << jsonLine(toJson(result)) << std::endl;
  return 0;
}

}  // namespace tolvekdart
