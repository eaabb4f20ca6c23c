#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "tools/tolvek-dart/HostProcess.h"

// How the tests start the real host: from a private copy of its built bundle, with a
// private HOME and socket, on the desktop model whatever display the tests can see.
inline tolvekdart::HostProcess::Options hostOptions() {
  tolvekdart::HostProcess::Options options;
  options.bundlePath = TOLVEK_APP_DIR;
  options.environment.emplace_back("TOLVEK_DESKTOP", "model");
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

// One host, and one peer attached to it, for every test of a suite: for tests that only
// ask, or that first put in place what they look at. `Suite` may hide
// `suiteHostOptions()` to start the host differently (a machine profile, an edited
// bundle, more environment).
template <typename Suite>
class SharedHostTest : public ::testing::Test {
 public:
  static tolvekdart::HostProcess::Options suiteHostOptions() { return hostOptions(); }

  static void SetUpTestSuite() {
    try {
      host() = tolvekdart::HostProcess::start(Suite::suiteHostOptions());
      client().emplace(host()->connect());
      client()->setTimeout(std::chrono::seconds(10));
    } catch (const std::exception& error) {
      startError() = error.what();
    }
  }

  static void TearDownTestSuite() {
    if (host()) {
      EXPECT_TRUE(host()->running()) << "the host ended during the suite";
      const int status = client() ? host()->stop(*client()) : host()->stop();
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
    }
    client().reset();
    host().reset();
  }

 protected:
  void SetUp() override {
    ASSERT_TRUE(host() && client()) << "the host did not start: " << startError();
  }

  static std::unique_ptr<tolvekdart::HostProcess>& host() {
    static std::unique_ptr<tolvekdart::HostProcess> shared;
    return shared;
  }
  static std::optional<tolvekdart::EngineClient>& client() {
    static std::optional<tolvekdart::EngineClient> shared;
    return shared;
  }

 private:
  static std::string& startError() {
    static std::string shared;
    return shared;
  }
};

// The value under `key` of a decoded map; null when it is not a map or has no such key.
inline const EncodableValue* field(const EncodableValue& map, const char* key) {
  return map.map() ? map.map()->find(key) : nullptr;
}

// The value under `key` of a decoded map, or a text that says it is missing (so that a
// comparison fails rather than the test crashing).
inline EncodableValue valueAt(const EncodableValue& map, const char* key) {
  const EncodableValue* value = field(map, key);
  return value ? *value : EncodableValue(std::string("<no value under ") + key + ">");
}

// The value of a method reply; null when the reply is an error or "not implemented".
inline const EncodableValue* replyValue(const FlutterMethodReply& reply) {
  return std::get_if<EncodableValue>(&reply);
}
const EncodableValue* replyValue(FlutterMethodReply&& reply) = delete;  // it would dangle

inline std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

inline bool pathExists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

// A start-up that is expected to fail: how the host ended and what it said.
struct FailedStart {
  std::optional<int> status;  // the wait status; nullopt when it kept running
  std::string standardError;
  bool madeSocket = false;
};

// Starts the host with `options` (its standard error to `stderrPath`) and waits for it to
// end by itself.
inline FailedStart startExpectingFailure(tolvekdart::HostProcess::Options options,
                                         const std::string& stderrPath) {
  options.stderrPath = stderrPath;
  auto host = tolvekdart::HostProcess::spawn(options);
  FailedStart result;
  result.status = host->waitForExit(std::chrono::seconds(10));
  result.standardError = readFile(stderrPath);
  result.madeSocket = pathExists(host->socketPath());
  return result;
}

// Whether `text` is exactly one line: one line feed, at its end.
inline bool isOneLine(const std::string& text) {
  return !text.empty() && text.back() == '\n' && std::count(text.begin(), text.end(), '\n') == 1;
}
