#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

// A program started by a test, with its standard error read back. Killed if the test
// leaves it running.
class ChildProcess {
 public:
  // Starts `path` with the test's environment less TOLVEK_* variables, plus `extraEnv`
  // ("NAME=value").
  ChildProcess(const std::string& path, const std::vector<std::string>& extraEnv = {}) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry)
      if (std::string(*entry).rfind("TOLVEK_", 0) != 0) env.emplace_back(*entry);
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp;
    for (auto& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);

    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errorPipe[1], STDERR_FILENO);
    std::string program = path;
    char* argv[] = {program.data(), nullptr};
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(errorPipe[1]);
    errorFd_ = errorPipe[0];
  }
  ~ChildProcess() {
    if (pid_ > 0 && !status_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (errorFd_ >= 0) close(errorFd_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  bool started() const { return pid_ > 0; }

  // Whether the process is still running (not yet collected).
  bool running() {
    if (pid_ <= 0 || status_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) status_ = status;
    return !status_;
  }

  // Waits until `condition` holds while the process runs; false if it exits first or
  // `timeout` passes.
  bool waitWhileRunning(const std::function<bool()>& condition,
                        std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (running()) {
      if (condition()) return true;
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  // Waits for the process to end and returns its wait status (nullopt after `timeout`).
  std::optional<int> waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (running()) {
      if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return status_;
  }

  // Everything the process wrote on standard error (after it has exited).
  std::string standardError() {
    std::string text;
    char buffer[4096];
    ssize_t count;
    while ((count = read(errorFd_, buffer, sizeof buffer)) > 0) text.append(buffer, count);
    return text;
  }

 private:
  pid_t pid_ = -1;
  int errorFd_ = -1;
  std::optional<int> status_;
};
