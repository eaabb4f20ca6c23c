#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "tools/tolvek-dart/EngineClient.h"

namespace tolvekdart {

class HostProcessError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The real host executable, started from a private copy of its bundle for a peer to
// attach to: its own temporary directory holds the bundle copy, a private HOME and the
// engine socket. The XDG_* variables are left out of its environment, so every user
// directory falls under the private HOME.
class HostProcess {
 public:
  struct Options {
    std::string bundlePath;  // the built Tolvek.app
    // Extra environment variables (added or replaced after the private ones).
    std::vector<std::pair<std::string, std::string>> environment;
    std::chrono::milliseconds startTimeout{10000};
    // Copies the bundle; off to run the bundle where it lies.
    bool copyBundle = true;
    // Where the host listens; empty: engine.sock in the private directory.
    std::string socketPath;
    // Where the host's standard error goes; empty: this process's.
    std::string stderrPath;
    // The most address space the host may map (RLIMIT_AS); nothing: no limit of ours.
    std::optional<uint64_t> addressSpaceLimit;
  };

  // Starts the host and returns once its socket accepts a peer. Throws HostProcessError
  // when it exits first or the socket does not appear in time.
  static std::unique_ptr<HostProcess> start(const Options& options);
  // Starts the host without waiting for its socket (for tests of failed start-ups).
  static std::unique_ptr<HostProcess> spawn(const Options& options);

  // Stops the host if it still runs, then removes its directory.
  ~HostProcess();
  HostProcess(const HostProcess&) = delete;
  HostProcess& operator=(const HostProcess&) = delete;

  pid_t pid() const { return pid_; }
  const std::string& directory() const { return directory_; }
  const std::string& bundlePath() const { return bundlePath_; }
  const std::string& home() const { return home_; }
  const std::string& socketPath() const { return socketPath_; }
  // From the moment the process was made to the moment its socket accepted.
  std::chrono::nanoseconds startupTime() const { return startupTime_; }

  // Waits until the socket accepts (start() did this already).
  void waitUntilAccepting(std::chrono::milliseconds timeout);
  EngineClient connect() const;

  // Ends the host the ordinary way: DESKTOP "quit" when the host serves it, else
  // SIGTERM; SIGKILL if it has not exited within `timeout`. Returns the wait status.
  int stop(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // The same through a peer that is already attached.
  int stop(EngineClient& attached, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Waits for the process to end; the wait status, or nullopt if it still runs.
  std::optional<int> waitForExit(std::chrono::milliseconds timeout);
  bool running() const { return !status_.has_value(); }

 private:
  HostProcess() = default;
  void launch(const Options& options);
  int terminate(std::chrono::milliseconds timeout);

  pid_t pid_ = -1;
  std::string directory_;
  std::string bundlePath_;
  std::string home_;
  std::string socketPath_;
  std::chrono::steady_clock::time_point launchedAt_;
  // The file that was at the socket path before the host started (a stale socket), if any.
  dev_t staleDevice_ = 0;
  ino_t staleInode_ = 0;
  std::chrono::nanoseconds startupTime_{0};
  std::optional<int> status_;
};

}  // namespace tolvekdart
