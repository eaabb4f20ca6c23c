// tour: exercises every channel and export the host offers and prints what each returns.
#include <sys/wait.h>

#include <csignal>

#include <iostream>

#include "tools/tolvek-dart/Commands.h"
#include "tools/tolvek-dart/HostProcess.h"
#include "tools/tolvek-dart/tour/TourSteps.h"

namespace tolvekdart {

namespace {

// Runs every step; returns how many failed.
int takeTour(EngineClient& client, std::ostream& out) {
  int failed = 0;
  for (const auto& step : tourSteps()) {
    Json line = Json::object();
    line["step"] = step.name;
    try {
      line["result"] = step.run(client);
    } catch (const std::exception& error) {
      line["failed"] = error.what();
      ++failed;
    }
    out << jsonLine(line) << std::endl;
  }
  return failed;
}

}  // namespace

int runTour(const CommandContext& context, const Arguments& given) {
  Arguments arguments = given;
  const auto bundle = takeOption(arguments, "--bundle");
  if (!arguments.empty()) throw UsageError("tour [--bundle PATH]");
  if (!bundle) {
    EngineClient client = context.attach();
    return takeTour(client, context.out) == 0 ? 0 : 1;
  }

  // The host is started here, from a private copy of the bundle, and quit afterwards.
  HostProcess::Options options;
  options.bundlePath = *bundle;
  auto host = HostProcess::start(options);
  EngineClient client = host->connect();
  client.setTimeout(context.timeout);
  const int failed = takeTour(client, context.out);
  const int status = host->stop(client);
  Json ended = Json::object();
  ended["host"] = WIFEXITED(status) ? Json{{"exitStatus", WEXITSTATUS(status)}}
                                    : Json{{"signal", WIFSIGNALED(status) ? WTERMSIG(status) : -1}};
  context.out << jsonLine(ended) << std::endl;
  // Ended by its own "quit" (status 0), or by the SIGTERM sent where "quit" is not served.
  const bool endedWell = (WIFEXITED(status) && WEXITSTATUS(status) == 0) ||
                         (WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  return failed == 0 && endedWell ? 0 : 1;
}

}  // namespace tolvekdart
