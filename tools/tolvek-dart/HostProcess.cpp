#include "tools/tolvek-dart/HostProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

extern char** environ;

namespace tolvekdart {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

std::string makeDirectory() {
  std::string pattern = (fs::temp_directory_path() / "tolvek-host-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw HostProcessError(std::string("cannot make a temporary directory: ") + strerror(errno));
  }
  return pattern;
}

// Whether a socket other than the one identified by (device, inode) is at `path`.
bool isNewSocket(const std::string& path, dev_t device, ino_t inode) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode) &&
         !(info.st_dev == device && info.st_ino == inode);
}

int millisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<int64_t>(0, left.count()));
}

// A descriptor that becomes readable when `pid` exits, or -1 where the kernel has none.
int processFd(pid_t pid) { return static_cast<int>(syscall(SYS_pidfd_open, pid, 0)); }

std::string describeStatus(int status) {
  if (WIFEXITED(status)) return "status " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return std::string("signal ") + strsignal(WTERMSIG(status));
  return "wait status " + std::to_string(status);
}

}  // namespace

std::unique_ptr<HostProcess> HostProcess::spawn(const Options& options) {
  std::unique_ptr<HostProcess> host(new HostProcess);
  host->launch(options);
  return host;
}

std::unique_ptr<HostProcess> HostProcess::start(const Options& options) {
  auto host = spawn(options);
  host->waitUntilAccepting(options.startTimeout);
  return host;
}

void HostProcess::launch(const Options& options) {
  directory_ = makeDirectory();
  home_ = directory_ + "/home";
  socketPath_ = options.socketPath.empty() ? directory_ + "/engine.sock" : options.socketPath;
  struct stat before {};
  if (lstat(socketPath_.c_str(), &before) == 0) {
    staleDevice_ = before.st_dev;
    staleInode_ = before.st_ino;
  }
  fs::create_directory(home_);
  if (options.copyBundle) {
    bundlePath_ = directory_ + "/Tolvek.app";
    std::error_code error;
    fs::copy(options.bundlePath, bundlePath_,
             fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    if (error) {
      throw HostProcessError("cannot copy the bundle " + options.bundlePath + ": " +
                             error.message());
    }
  } else {
    bundlePath_ = options.bundlePath;
  }
  const std::string executable = bundlePath_ + "/Contents/MacOS/Tolvek";
  if (access(executable.c_str(), X_OK) != 0) {
    throw HostProcessError("no host executable at " + executable);
  }

  // The environment: ours, less the user's directories and any other socket, then the
  // private ones, then the caller's.
  std::vector<std::pair<std::string, std::string>> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text(*entry);
    const size_t equals = text.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = text.substr(0, equals);
    if (name.starts_with("XDG_") || name == "HOME" || name == "TOLVEK_ENGINE_SOCKET") continue;
    variables.emplace_back(name, text.substr(equals + 1));
  }
  variables.emplace_back("HOME", home_);
  variables.emplace_back("TOLVEK_ENGINE_SOCKET", socketPath_);
  for (const auto& setting : options.environment) {
    std::erase_if(variables,
                  [&setting](const auto& variable) { return variable.first == setting.first; });
    variables.push_back(setting);
  }
  std::vector<std::string> texts;
  for (const auto& [name, value] : variables) texts.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (auto& text : texts) envp.push_back(text.data());
  envp.push_back(nullptr);
  std::string program = executable;
  char* argv[] = {program.data(), nullptr};

  int errorFd = -1;
  if (!options.stderrPath.empty()) {
    errorFd = open(options.stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (errorFd < 0) throw HostProcessError("cannot open " + options.stderrPath);
  }
  const pid_t parent = getpid();
  launchedAt_ = Clock::now();
  pid_ = fork();
  if (pid_ < 0) {
    const std::string why = strerror(errno);
    if (errorFd >= 0) ::close(errorFd);
    throw HostProcessError("fork: " + why);
  }
  if (pid_ == 0) {
    // The host does not outlive the test or tool that started it.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    if (errorFd >= 0) dup2(errorFd, STDERR_FILENO);
    if (options.addressSpaceLimit) {
      const rlimit limit{*options.addressSpaceLimit, *options.addressSpaceLimit};
      if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(127);
    }
    execve(program.c_str(), argv, envp.data());
    _exit(127);
  }
  if (errorFd >= 0) ::close(errorFd);
}

void HostProcess::waitUntilAccepting(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  // The socket file appears (renamed into place, over a stale one if there was one) only
  // once the host listens, so a socket other than the one there before means it accepts.
  // Woken by the directory changing or the process ending; without those, it looks again
  // every few milliseconds.
  const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  const std::string socketDirectory = fs::path(socketPath_).parent_path().string();
  if (watch >= 0) {
    inotify_add_watch(watch, socketDirectory.empty() ? "." : socketDirectory.c_str(),
                      IN_CREATE | IN_MOVED_TO);
  }
  const int exited = processFd(pid_);
  const bool woken = watch >= 0 && exited >= 0;
  for (;;) {
    if (isNewSocket(socketPath_, staleDevice_, staleInode_)) {
      startupTime_ = Clock::now() - launchedAt_;
      break;
    }
    if (auto status = waitForExit(std::chrono::milliseconds(0))) {
      if (watch >= 0) ::close(watch);
      if (exited >= 0) ::close(exited);
      throw HostProcessError("the host exited with " + describeStatus(*status) +
                             " before its socket accepted");
    }
    if (Clock::now() >= deadline) {
      if (watch >= 0) ::close(watch);
      if (exited >= 0) ::close(exited);
      throw HostProcessError("the host's socket did not appear in time");
    }
    pollfd fds[2] = {{watch, POLLIN, 0}, {exited, POLLIN, 0}};
    poll(fds, 2, woken ? millisecondsUntil(deadline) : std::min(5, millisecondsUntil(deadline)));
    if (fds[0].revents & POLLIN) {
      char events[4096];
      while (::read(watch, events, sizeof events) > 0) {
      }
    }
  }
  if (watch >= 0) ::close(watch);
  if (exited >= 0) ::close(exited);
}

EngineClient HostProcess::connect() const { return EngineClient::connect(socketPath_); }

std::optional<int> HostProcess::waitForExit(std::chrono::milliseconds timeout) {
  if (status_) return status_;
  const auto deadline = Clock::now() + timeout;
  const int exited = processFd(pid_);
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      status_ = status;
      break;
    }
    if (done < 0 && errno != EINTR) {
      status_ = -1;  // not our child any more
      break;
    }
    if (Clock::now() >= deadline) break;
    pollfd fd{exited, POLLIN, 0};
    poll(&fd, 1,
         exited >= 0 ? millisecondsUntil(deadline) : std::min(5, millisecondsUntil(deadline)));
  }
  if (exited >= 0) ::close(exited);
  return status_;
}

int HostProcess::stop(std::chrono::milliseconds timeout) {
  if (status_) return *status_;
  try {
    EngineClient client = connect();
    return stop(client, timeout);
  } catch (const EngineClientError&) {
    return terminate(timeout);
  }
}

int HostProcess::stop(EngineClient& attached, std::chrono::milliseconds timeout) {
  if (status_) return *status_;
  attached.setTimeout(timeout);
  std::chrono::milliseconds grace(0);
  try {
    const auto reply = attached.desktop("quit");
    if (!std::holds_alternative<FlutterMethodNotImplementedType>(reply)) grace = timeout;
  } catch (const EngineClientError&) {
    // The host may end before its answer leaves, or it refused this peer (another one
    // is attached): a short wait tells which.
    grace = std::min<std::chrono::milliseconds>(timeout, std::chrono::seconds(2));
  }
  if (auto status = waitForExit(grace)) return *status;
  return terminate(timeout);
}

int HostProcess::terminate(std::chrono::milliseconds timeout) {
  if (status_) return *status_;
  kill(pid_, SIGTERM);
  if (auto status = waitForExit(timeout)) return *status;
  kill(pid_, SIGKILL);
  return waitForExit(std::chrono::hours(1)).value_or(-1);
}

HostProcess::~HostProcess() {
  if (pid_ > 0 && !status_) {
    try {
      stop(std::chrono::seconds(5));
    } catch (...) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  if (!directory_.empty()) {
    std::error_code ignored;
    fs::remove_all(directory_, ignored);
  }
}

}  // namespace tolvekdart
