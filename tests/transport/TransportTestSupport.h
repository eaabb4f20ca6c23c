#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <exception>
#include <functional>
#include <string>
#include <thread>

#include "macos/Flutter/engine/EngineTransportServer.h"
#include "platform/dispatch/RunLoop.h"
#include "tests/support/TemporaryDirectory.h"
#include "tools/tolvek-dart/EngineClient.h"

// A transport served in process: a messenger, a server on a private socket, and peers
// that run on threads of their own while the test's main thread runs the main run loop.
class TransportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = directory_ / "engine.sock";
    messenger_ = std::make_shared<FlutterEngineMessenger>();
    std::string error;
    server_ = EngineTransportServer::start(path_, messenger_, &error);
    ASSERT_TRUE(server_) << error;
  }

  void TearDown() override {
    server_.reset();
    platform::RunLoop::main().runUntilIdle();
  }

  tolvekdart::EngineClient connect() {
    auto client = tolvekdart::EngineClient::connect(path_);
    client.setTimeout(std::chrono::seconds(10));
    return client;
  }

  // Runs `peer` on a thread while the main run loop serves the host; returns once it is
  // done. Failures inside it count for the test.
  void withPeer(const std::function<void()>& peer) {
    std::atomic<bool> done{false};
    std::exception_ptr failure;
    std::thread thread([&] {
      try {
        peer();
      } catch (...) {
        failure = std::current_exception();
      }
      done = true;
    });
    const bool finished =
        platform::RunLoop::main().runUntil([&] { return done.load(); }, std::chrono::seconds(30));
    thread.join();
    EXPECT_TRUE(finished) << "the peer did not finish";
    if (failure) {
      try {
        std::rethrow_exception(failure);
      } catch (const std::exception& error) {
        ADD_FAILURE() << "the peer failed: " << error.what();
      }
    }
  }

  static tolvekdart::EngineClient::Clock::time_point in(std::chrono::milliseconds duration) {
    return tolvekdart::EngineClient::Clock::now() + duration;
  }

  test_support::TemporaryDirectory directory_;
  std::string path_;
  std::shared_ptr<FlutterEngineMessenger> messenger_;
  std::unique_ptr<EngineTransportServer> server_;
};
