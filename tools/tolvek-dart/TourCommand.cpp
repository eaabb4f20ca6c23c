// tour: exercises every channel and export the host offers and prints what each returns.
#include <sys/wait.h>

#include <csignal>

#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "tools/tolvek-dart/Commands.h"
#include "tools/tolvek-dart/HostProcess.h"
#include "tools/tolvek-dart/tour/TourSteps.h"

namespace tolvekdart {

namespace {

// Saves the main window's picture (DESKTOP "snapshot") in `path`; false when it fails.
bool saveSnapshot(EngineClient& client, const std::string& path, std::ostream& out) {
  Json line = Json::object();
  line["snapshot"] = path;
  try {
    const auto reply = client.desktop("snapshot");
    const auto* value = std::get_if<EncodableValue>(&reply);
    const auto* bytes = value ? std::get_if<std::vector<uint8_t>>(value) : nullptr;
    if (bytes == nullptr)
      throw std::runtime_error("the host sent no picture: " + jsonLine(replyToJson(reply)));
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes->data()),
               static_cast<std::streamsize>(bytes->size()));
    if (!file.flush()) throw std::runtime_error("cannot write " + path);
    line["bytes"] = bytes->size();
  } catch (const std::exception& error) {
    line["failed"] = error.what();
  }
  out << jsonLine(line) << std::endl;
  return !line.contains("failed");
}

// Runs every step, then saves the window's picture when asked; returns how many failed.
int takeTour(EngineClient& client, const std::optional<std::string>& snapshot, std::ostream& out) {
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
  if (snapshot && !saveSnapshot(client, *snapshot, out)) ++failed;
  return failed;
}

}  // namespace

int runTour(const CommandContext& context, const Arguments& given) {
  Arguments arguments = given;
  const auto bundle = takeOption(arguments, "--bundle");
  const auto snapshot = takeOption(arguments, "--snapshot");
  if (!arguments.empty()) throw UsageError("tour [--bundle PATH] [--snapshot FILE.png]");
  if (!bundle) {
    EngineClient client = context.attach();
    return takeTour(client, snapshot, context.out) == 0 ? 0 : 1;
  }

  // The host is started here, from a private copy of the bundle, and quit afterwards.
  HostProcess::Options options;
  options.bundlePath = *bundle;
  auto host = HostProcess::start(options);
  EngineClient client = host->connect();
  client.setTimeout(context.timeout);
  const int failed = takeTour(client, snapshot, context.out);
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
