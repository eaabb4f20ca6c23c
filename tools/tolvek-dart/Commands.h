#pragma once

#include <chrono>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/tolvek-dart/EngineClient.h"

namespace tolvekdart {

// A command line that does not make sense; reported with the usage text.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What every command gets: where the host listens, how long to wait for answers, and
// where to print.
struct CommandContext {
  std::string socketPath;
  std::chrono::milliseconds timeout{10000};
  std::ostream& out;

  // Attaches to the host; throws UsageError when no socket was named.
  EngineClient attach() const;
};

using Arguments = std::vector<std::string>;

int runCall(const CommandContext& context, const Arguments& arguments);
int runSend(const CommandContext& context, const Arguments& arguments);
int runDesktop(const CommandContext& context, const Arguments& arguments);
int runListen(const CommandContext& context, const Arguments& arguments);
int runFfi(const CommandContext& context, const Arguments& arguments);
int runTour(const CommandContext& context, const Arguments& arguments);

// Takes "--name VALUE" out of `arguments`; nullopt when absent.
std::optional<std::string> takeOption(Arguments& arguments, const std::string& name);
// The JSON argument at `index`, or null when there is none.
EncodableValue jsonArgument(const Arguments& arguments, size_t index);

}  // namespace tolvekdart
