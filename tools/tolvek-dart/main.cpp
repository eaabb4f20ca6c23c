// tolvek-dart: the Dart side of the engine, from the command line. See README.md.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>

#include "tools/tolvek-dart/Commands.h"
#include "tools/tolvek-dart/HostProcess.h"
#include "tools/tolvek-dart/JsonValues.h"

namespace {

using namespace tolvekdart;

constexpr const char* kUsage =
    "usage: tolvek-dart [--socket PATH] [--timeout SECONDS] COMMAND ...\n"
    "  call CHANNEL METHOD [JSON]\n"
    "  send [--codec standard|pathprovider] CHANNEL JSON\n"
    "  listen CHANNEL [--count N] [--seconds S] [JSON]\n"
    "  ffi [--thread N] SYMBOL SIGNATURE [ARGS...]\n"
    "  desktop METHOD [JSON]\n"
    "  tour [--bundle PATH] [--snapshot FILE.png]\n"
    "  soak --bundle PATH [--messages N] [--threads N] [--ffi-per-message N]\n"
    "       [--desktop-every N] [--in-flight N]\n"
    "The socket defaults to $TOLVEK_ENGINE_SOCKET.\n";

using Command = int (*)(const CommandContext&, const Arguments&);

const std::map<std::string, Command>& commands() {
  static const std::map<std::string, Command> table = {
      {"call", runCall},       {"send", runSend}, {"listen", runListen}, {"ffi", runFfi},
      {"desktop", runDesktop}, {"tour", runTour}, {"soak", runSoak},
  };
  return table;
}

int usage(const std::string& problem) {
  if (!problem.empty()) std::cerr << "tolvek-dart: " << problem << "\n";
  std::cerr << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments(argv + 1, argv + argc);
  const char* environmentSocket = std::getenv("TOLVEK_ENGINE_SOCKET");
  CommandContext context{environmentSocket ? environmentSocket : "",
                         std::chrono::milliseconds(10000), std::cout};
  // Global options come before the command.
  while (!arguments.empty() && arguments.front().starts_with("--")) {
    const std::string option = arguments.front();
    if (option == "--help") return usage(""), 0;
    if (arguments.size() < 2) return usage(option + " needs a value");
    const std::string value = arguments[1];
    arguments.erase(arguments.begin(), arguments.begin() + 2);
    if (option == "--socket") {
      context.socketPath = value;
    } else if (option == "--timeout") {
      char* end = nullptr;
      const double seconds = std::strtod(value.c_str(), &end);
      if (end == value.c_str() || *end != '\0' || !(seconds > 0)) {
        return usage("--timeout takes a positive number of seconds");
      }
      context.timeout = std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));
    } else {
      return usage("unknown option " + option);
    }
  }
  if (arguments.empty()) return usage("no command");
  const auto command = commands().find(arguments.front());
  if (command == commands().end()) return usage("unknown command " + arguments.front());
  arguments.erase(arguments.begin());

  try {
    return command->second(context, arguments);
  } catch (const UsageError& error) {
    return usage(error.what());
  } catch (const std::exception& error) {
    std::cerr << "tolvek-dart: " << error.what() << "\n";
    return 1;
  }
}
