// soak: starts the host from a bundle, puts a long mixed load on it through one peer, and
// reports whether every request was answered, the host's resident memory before and after,
// and whether the host wrote anything to standard error (a sanitizer's report, say).
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/tolvek-dart/Commands.h"
#include "tools/tolvek-dart/HostProcess.h"
#include "tools/tolvek-dart/JsonValues.h"
#include "tools/tolvek-dart/soak/SoakLoad.h"

namespace tolvekdart {

namespace {

// The process's resident memory in KiB, from /proc; -1 when it cannot be read.
int64_t residentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("VmRSS:")) return std::strtoll(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

std::string readFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

uint64_t countOption(Arguments& arguments, const std::string& name, uint64_t fallback) {
  const auto value = takeOption(arguments, name);
  if (!value) return fallback;
  char* end = nullptr;
  const unsigned long long number = std::strtoull(value->c_str(), &end, 10);
  if (end == value->c_str() || *end != '\0') throw UsageError(name + " takes a count");
  return number;
}

constexpr const char* kUsage =
    "soak --bundle PATH [--messages N] [--threads N] [--ffi-per-message N] "
    "[--desktop-every N] [--in-flight N]";

}  // namespace

int runSoak(const CommandContext& context, const Arguments& given) {
  Arguments arguments = given;
  const auto bundle = takeOption(arguments, "--bundle");
  SoakSettings settings;
  settings.messages = countOption(arguments, "--messages", settings.messages);
  settings.dartThreads =
      static_cast<uint8_t>(countOption(arguments, "--threads", settings.dartThreads));
  settings.ffiPerMessage =
      static_cast<uint32_t>(countOption(arguments, "--ffi-per-message", settings.ffiPerMessage));
  settings.desktopEvery =
      static_cast<uint32_t>(countOption(arguments, "--desktop-every", settings.desktopEvery));
  settings.inFlight =
      static_cast<uint32_t>(countOption(arguments, "--in-flight", settings.inFlight));
  settings.answerTimeout = std::max(context.timeout, settings.answerTimeout);
  if (!bundle || !arguments.empty() || settings.dartThreads == 0 || settings.inFlight == 0) {
    throw UsageError(kUsage);
  }

  HostProcess::Options options;
  options.bundlePath = *bundle;
  options.startTimeout = std::chrono::seconds(60);  // a sanitizer build starts slowly
  // The host's standard error goes to a file of its own, kept when it is not empty.
  options.stderrPath = (std::filesystem::temp_directory_path() /
                        ("tolvek-soak-" + std::to_string(getpid()) + ".stderr"))
                           .string();
  auto host = HostProcess::start(options);
  EngineClient client = host->connect();
  client.setTimeout(settings.answerTimeout);

  Json report = Json::object();
  report["phase"] = "start";
  report["rssKiB"] = residentKiB(host->pid());
  context.out << jsonLine(report) << std::endl;
  int64_t warmKiB = -1;
  const auto started = EngineClient::Clock::now();
  SoakCounts counts;
  std::string failure;
  try {
    counts = runSoakLoad(client, settings, [&](uint64_t sent) {
      const int64_t rss = residentKiB(host->pid());
      // After the first tenth every cache and pool has grown to its working size.
      if (warmKiB < 0) warmKiB = rss;
      Json line = Json::object();
      line["phase"] = "progress";
      line["messagesSent"] = sent;
      line["rssKiB"] = rss;
      context.out << jsonLine(line) << std::endl;
    });
  } catch (const std::exception& error) {
    failure = error.what();
  }
  const double seconds =
      std::chrono::duration<double>(EngineClient::Clock::now() - started).count();
  const int64_t endKiB = host->running() ? residentKiB(host->pid()) : -1;
  const bool stillRunning = host->running() && !host->waitForExit(std::chrono::milliseconds(0));
  int status = -1;
  if (stillRunning && failure.empty()) status = host->stop(client, std::chrono::seconds(60));
  host.reset();
  const std::string hostErrors = readFile(options.stderrPath);

  Json end = Json::object();
  end["phase"] = "end";
  end["seconds"] = seconds;
  end["messages"] = counts.messages;
  end["postedMessages"] = counts.postedMessages;
  end["ffiCalls"] = counts.ffiCalls;
  end["desktopCalls"] = counts.desktopCalls;
  end["answered"] = counts.answered;
  end["unanswered"] = counts.unanswered();
  end["wrongAnswers"] = counts.errors;
  if (!counts.firstError.empty()) end["firstWrongAnswer"] = counts.firstError;
  end["hostMessages"] = counts.hostMessages;
  end["absentExports"] = counts.absentExports;
  end["refusedDesktopCalls"] = counts.refusedDesktopCalls;
  end["rssWarmKiB"] = warmKiB;
  end["rssEndKiB"] = endKiB;
  end["hostExit"] = status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  end["hostStandardError"] = options.stderrPath;
  end["hostStandardErrorBytes"] = hostErrors.size();
  if (!failure.empty()) end["failure"] = failure;
  context.out << jsonLine(end) << std::endl;

  const bool clean = failure.empty() && counts.unanswered() == 0 && counts.errors == 0 &&
                     status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
                     hostErrors.empty();
  if (clean) std::filesystem::remove(options.stderrPath);
  return clean ? 0 : 1;
}

}  // namespace tolvekdart
