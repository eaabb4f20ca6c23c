// The real host when its surroundings fail: a peer that vanishes in the middle of its
// calls, entitlements that cannot be read, a home directory that does not exist.
// Each either starts with a documented default or ends start-up with one line on standard
// error and a non-zero status (docs/failures.md).
#include <filesystem>
#include <fstream>

#include "macos/Flutter/codec/FlutterMessageCodec.h"
#include "tests/e2e/BundleCopy.h"
#include "tests/e2e/HostTestSupport.h"
#include "tools/tolvek-dart/PeerCodecs.h"

namespace {

namespace fs = std::filesystem;
using tolvekdart::EngineClient;
using tolvekdart::HostProcess;

const EncodableValue* resultOf(const EncodableValue& answer) { return field(answer, "result"); }

// The clipboard's paths as a Dart thread reads them, the text freed again.
std::string readClipboard(EngineClient& client) {
  const auto read = client.callFfi(1, "tolvek_clipboard_read_files", "utf8ptr()", {});
  const auto* pair = resultOf(read) ? resultOf(read)->list() : nullptr;
  if (pair == nullptr || pair->size() != 2) return "<no text>";
  const auto& bytes = std::get<std::vector<uint8_t>>((*pair)[1]);
  client.callFfi(1, "tolvek_clipboard_free", "void(ptr)", {(*pair)[0]});
  return std::string(bytes.begin(), bytes.end());
}

using PeerFailure = HostTest;

// The peer leaves with calls on Dart threads, channel messages and DESKTOP calls still
// unanswered. What it asked for is still done; only the answers are dropped.
TEST_F(PeerFailure, APeerThatVanishesMidCallLosesNoneOfItsCalls) {
  {
    auto client = attach();
    uint32_t id = 1;
    client.sendFrame(tolvekdart::ffiFrame(id++, 1, "tolvek_clipboard_write_files",
                                          "void(utf8,int32)", {"/vanished/a\n/vanished/b", 1}));
    for (uint8_t thread = 2; thread <= 8; ++thread) {
      client.sendFrame(
          tolvekdart::ffiFrame(id++, thread, "tolvek_clipboard_read_files", "utf8ptr()", {}));
      client.sendFrame(
          tolvekdart::ffiFrame(id++, thread, "tolvek_clipboard_is_cut", "int32()", {}));
    }
    client.sendFrame(tolvekdart::methodCallFrame(id++, "dev.fluttercommunity.plus/package_info",
                                                 {"getAll", {}}));
    client.sendFrame(tolvekdart::desktopFrame(
        id++, {"resizeWindow", EncodableMap{{"size", EncodableList{EncodableValue(640.0),
                                                                   EncodableValue(480.0)}}}}));
  }  // gone, without reading a single answer

  auto next = attach();
  // Dart thread 1 ran the write before the peer's departure was noticed, or after: either
  // way it ran, and the next peer finds its paths and its mode.
  EXPECT_EQ(readClipboard(next), "/vanished/a\n/vanished/b");
  EXPECT_EQ(*resultOf(next.callFfi(3, "tolvek_clipboard_is_cut", "int32()", {})),
            EncodableValue(1));
  const auto windows = next.desktop("windows");
  ASSERT_TRUE(std::holds_alternative<EncodableValue>(windows));
  const auto& list = *std::get<EncodableValue>(windows).list();
  const auto* frame = list.at(0).map()->find("frame");
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->list()->at(2), EncodableValue(640.0));
}

// The peer leaves while the open panel it asked for is shown on the window. The sheet is
// the user's: it stays until it is answered, its answer goes nowhere, and the next peer
// finds the picker serving again.
TEST_F(PeerFailure, APeerThatVanishesMidSheetLeavesTheSheetToTheUser) {
  const char* const channel = "belsworthan.flutter.plugins.filepicker";
  const auto& methods = *FlutterStandardMethodCodec::sharedInstance();
  const auto noSheet = FlutterMethodReply(EncodableValue());
  {
    auto client = attach();
    client.sendFrame(
        tolvekdart::methodCallFrame(client.newId(), channel, {"pickFiles", EncodableMap{}}));
    ASSERT_NE(client.desktop("sheet"), noSheet) << "the open panel was not shown";
  }  // gone while the sheet is up

  auto next = attach();
  const auto sheet = next.desktop("sheet");
  ASSERT_NE(sheet, noSheet) << "the sheet went with the peer";
  EXPECT_EQ(next.desktop("answerSheet",
                         EncodableMap{{"response", EncodableValue(1)},
                                      {"urls", EncodableList{EncodableValue("/tmp/picked")}}}),
            noSheet);
  EXPECT_EQ(next.desktop("sheet"), noSheet);

  // A new dialog for the new peer, cancelled: its reply comes to it.
  const auto again =
      tolvekdart::methodCallFrame(next.newId(), channel, {"pickFiles", EncodableMap{}});
  next.sendFrame(again);
  ASSERT_NE(next.desktop("sheet"), noSheet);
  EXPECT_EQ(next.desktop("answerSheet", EncodableMap{{"response", EncodableValue(0)}}), noSheet);
  EXPECT_EQ(methods.decodeEnvelope(next.awaitAnswer(EngineFrameKind::reply, again.id).payload),
            noSheet);
}

// A copy of the built bundle, spoilt before the host starts from it.
class SpoiltBundle : public ::testing::Test {
 protected:
  tolvekdart::HostProcess::Options options() const {
    auto options = bundle_.hostOptions();
    options.stderrPath = bundle_.directory() / "stderr.txt";
    return options;
  }

  // Quits the host through the peer attached to it: the ordinary way, status 0.
  static void expectRunsAndQuits(HostProcess& host, EngineClient& client) {
    EXPECT_TRUE(host.running());
    const int status = host.stop(client);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
  }

  e2e::BundleCopy bundle_;
};

// Entitlements that cannot be read are no entitlements: the host starts, and an
// application group's container, which the entitlements would have to list, is absent.
TEST_F(SpoiltBundle, AnEntitlementsFileThatIsADirectoryMeansNoEntitlements) {
  fs::remove(bundle_.file(e2e::BundleCopy::kEntitlements));
  fs::create_directory(bundle_.file(e2e::BundleCopy::kEntitlements));
  auto host = HostProcess::start(options());
  auto client = host->connect();
  const auto codec = tolvekdart::peerMessageCodec("pathprovider");
  const auto reply = client.sendMessage(
      "dev.flutter.pigeon.path_provider_foundation.PathProviderApi.getContainerPath",
      codec->encode(EncodableList{EncodableValue("group.tolvek.failures")}));
  EXPECT_EQ(codec->decode(reply), EncodableValue(EncodableList{EncodableValue()}));
  EXPECT_EQ(readFile(options().stderrPath), "");
  expectRunsAndQuits(*host, client);
}

// A home directory that does not exist is still where the user's directories are: they
// are answered under it, and nothing is created on the way.
TEST_F(SpoiltBundle, AHomeThatDoesNotExistStillGivesTheUsersDirectories) {
  const std::string home = bundle_.directory() / "no/such/home";
  auto settings = options();
  settings.environment.emplace_back("HOME", home);
  auto host = HostProcess::start(settings);
  auto client = host->connect();
  const auto codec = tolvekdart::peerMessageCodec("pathprovider");
  const auto reply = client.sendMessage(
      "dev.flutter.pigeon.path_provider_foundation.PathProviderApi.getDirectoryPath",
      codec->encode(EncodableList{CustomEncodableValue(129, EncodableValue(0))}));
  EXPECT_EQ(codec->decode(reply),
            EncodableValue(EncodableList{EncodableValue(home + "/Documents")}));
  const auto info = client.invokeMethod("dev.fluttercommunity.plus/package_info", "getAll");
  EXPECT_TRUE(std::holds_alternative<EncodableValue>(info));
  EXPECT_FALSE(pathExists(bundle_.directory() / "no"));
  EXPECT_EQ(readFile(settings.stderrPath), "");
  expectRunsAndQuits(*host, client);
}

}  // namespace
