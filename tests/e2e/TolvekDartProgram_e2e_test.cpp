// The tolvek-dart program against the real host: JSON lines out, errors with a status.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/e2e/HostTestSupport.h"
#include "tools/tolvek-dart/JsonValues.h"

namespace {

struct ProgramRun {
  int status = -1;
  std::vector<std::string> lines;
  std::string errors;
};

std::string quoted(const std::string& text) {
  std::string out = "'";
  for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

class TolvekDartProgram : public HostTest {
 protected:
  ProgramRun run(const std::vector<std::string>& arguments) {
    const std::string errors = host_->directory() + "/program-stderr.txt";
    std::string command = quoted(TOLVEK_DART_PROGRAM) + " --socket " + quoted(host_->socketPath());
    for (const auto& argument : arguments) command += " " + quoted(argument);
    command += " 2>" + quoted(errors);
    ProgramRun result;
    FILE* output = popen(command.c_str(), "r");
    if (output == nullptr) return result;
    std::string text;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, output)) > 0) text.append(buffer, count);
    const int status = pclose(output);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) result.lines.push_back(line);
    std::ifstream said(errors);
    result.errors.assign(std::istreambuf_iterator<char>(said), {});
    return result;
  }
};

TEST_F(TolvekDartProgram, CallPrintsTheReplyAsOneJsonLine) {
  const auto result = run({"call", "tolvek/e2e/nobody", "ping", "{\"a\": [1, 2.0]}"});
  EXPECT_EQ(result.status, 0) << result.errors;
  ASSERT_EQ(result.lines.size(), 1u);
  EXPECT_EQ(result.lines[0], "{\"$not_implemented\":true}");
}

TEST_F(TolvekDartProgram, DesktopWindowsPrintsAList) {
  const auto result = run({"desktop", "windows"});
  EXPECT_EQ(result.status, 0) << result.errors;
  ASSERT_EQ(result.lines.size(), 1u);
  EXPECT_TRUE(tolvekdart::parseJson(result.lines[0]).is_array()) << result.lines[0];
}

TEST_F(TolvekDartProgram, ARefusedFfiCallIsAnErrorWithItsReason) {
  const auto result = run({"ffi", "--thread", "2", "getpid", "int32()"});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(result.lines.empty());
  EXPECT_NE(result.errors.find("not a tolvek_ export"), std::string::npos) << result.errors;
}

TEST_F(TolvekDartProgram, BadInputIsReportedNotSent) {
  EXPECT_EQ(run({"call", "tolvek/e2e/nobody", "ping", "{not json"}).status, 1);
  EXPECT_EQ(run({"send", "--codec", "binary", "tolvek/e2e/nobody", "1"}).status, 1);
  EXPECT_EQ(run({"frobnicate"}).status, 2);
  EXPECT_EQ(run({"call", "only-a-channel"}).status, 2);
}

TEST_F(TolvekDartProgram, TheTourVisitsEveryStepWithoutFailing) {
  const auto result = run({"tour"});
  EXPECT_EQ(result.status, 0) << result.errors;
  ASSERT_FALSE(result.lines.empty());
  for (const auto& line : result.lines) {
    const auto step = tolvekdart::parseJson(line);
    EXPECT_TRUE(step.contains("step")) << line;
    EXPECT_TRUE(step.contains("result")) << line;
  }
}

}  // namespace
