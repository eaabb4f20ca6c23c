#include <algorithm>

#include "tools/tolvek-dart/Commands.h"
#include "tools/tolvek-dart/JsonValues.h"

namespace tolvekdart {

EngineClient CommandContext::attach() const {
  if (socketPath.empty()) {
    throw UsageError("no host to attach to: give --socket PATH or set TOLVEK_ENGINE_SOCKET");
  }
  EngineClient client = EngineClient::connect(socketPath);
  client.setTimeout(timeout);
  return client;
}

std::optional<std::string> takeOption(Arguments& arguments, const std::string& name) {
  const auto found = std::find(arguments.begin(), arguments.end(), name);
  if (found == arguments.end()) return std::nullopt;
  if (found + 1 == arguments.end()) throw UsageError(name + " needs a value");
  std::string value = *(found + 1);
  arguments.erase(found, found + 2);
  return value;
}

EncodableValue jsonArgument(const Arguments& arguments, size_t index) {
  if (index >= arguments.size()) return EncodableValue();
  return fromJson(parseJson(arguments[index]));
}

}  // namespace tolvekdart
