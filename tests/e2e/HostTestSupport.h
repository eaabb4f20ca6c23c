#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <memory>
#include <string>

#include "tools/tolvek-dart/HostProcess.h"

// How the tests start the real host: from a private copy of its built bundle, with a
// private HOME and socket.
inline tolvekdart::HostProcess::Options hostOptions() {
  tolvekdart::HostProcess::Options options;
  options.bundlePath = TOLVEK_APP_DIR;
  return options;
}

// Each test starts the host and talks to it only through the engine transport.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override { host_ = tolvekdart::HostProcess::start(hostOptions()); }

  void TearDown() override {
    if (!host_) return;
    // Whatever the test did, the host is still running until it is told to quit.
    EXPECT_TRUE(host_->running()) << "the host ended during the test";
    // And it still quits the ordinary way.
    const int status = host_->stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
  }

  tolvekdart::EngineClient attach() {
    auto client = host_->connect();
    client.setTimeout(std::chrono::seconds(10));
    return client;
  }

  static tolvekdart::EngineClient::Clock::time_point in(std::chrono::milliseconds duration) {
    return tolvekdart::EngineClient::Clock::now() + duration;
  }

  std::unique_ptr<tolvekdart::HostProcess> host_;
};
