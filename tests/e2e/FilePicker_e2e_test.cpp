// The file picker in the real host, through the engine transport: the entitlement checks
// against edited copies of the bundle's entitlements, and one dialog of each kind answered
// through DESKTOP frames.
#include <filesystem>
#include <fstream>

#include "macos/Flutter/codec/FlutterMethodCodec.h"
#include "tests/e2e/FilePickerCall.h"
#include "tests/e2e/HostTestSupport.h"

namespace {

using tolvekdart::EngineClient;
using tolvekdart::HostProcess;

const char* const kChannel = FilePickerCall::kChannel;
const char* const kReadOnly = "com.apple.security.files.user-selected.read-only";
const char* const kReadWrite = "com.apple.security.files.user-selected.read-write";

// A private copy of the built bundle whose entitlements file a test writes.
class EditedBundle {
 public:
  EditedBundle() {
    char pattern[] = "/tmp/tolvek-picker-XXXXXX";
    directory_ = ::mkdtemp(pattern);
    path_ = directory_ + "/Tolvek.app";
    std::filesystem::copy(
        TOLVEK_APP_DIR, path_,
        std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
  }
  ~EditedBundle() {
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }
  const std::string& path() const { return path_; }
  std::string entitlementsPath() const { return path_ + "/Contents/Resources/Entitlements.plist"; }

  // Writes the entitlements: key and XML value pairs; nothing: no file at all.
  void writeEntitlements(std::optional<std::vector<std::pair<std::string, std::string>>> entries) {
    std::filesystem::remove(entitlementsPath());
    if (!entries) return;
    std::string body;
    for (const auto& [key, value] : *entries) body += "<key>" + key + "</key>" + value;
    std::ofstream(entitlementsPath())
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" << body
        << "</dict></plist>\n";
  }

 private:
  std::string directory_;
  std::string path_;
};

using DialogCall = FilePickerCall;

class FilePickerHost : public ::testing::Test {
 protected:
  void start() {
    HostProcess::Options options;
    options.bundlePath = bundle.path();
    options.copyBundle = false;
    host = HostProcess::start(options);
    client.emplace(host->connect());
    client->setTimeout(std::chrono::seconds(10));
  }
  void TearDown() override {
    if (!host) return;
    EXPECT_TRUE(host->running()) << "the host ended during the test";
    host->stop(*client);
  }

  // How a dialog call ends when any sheet it shows is cancelled: "sheet", or the error
  // code it replied with at once.
  std::string outcome(const std::string& method) {
    DialogCall call(*client, method, EncodableMap{});
    // The sheet, if any, is on the window by the time the DESKTOP call is served: frames
    // reach the main thread in order.
    const auto sheet = client->desktop("sheet");
    if (sheet != FlutterMethodReply(EncodableValue())) {
      EXPECT_EQ(client->desktop("answerSheet", EncodableMap{{"response", 0}}),
                FlutterMethodReply(EncodableValue()));
      EXPECT_EQ(call.reply(), FlutterMethodReply(EncodableValue()));
      return "sheet";
    }
    const auto reply = call.reply();
    const auto* error = std::get_if<FlutterError>(&reply);
    return error ? error->code : "unexpected reply";
  }
  std::vector<std::string> dialogOutcomes() {
    std::vector<std::string> outcomes;
    for (const char* method :
         {"pickFiles", "getDirectoryPath", "pickFileAndDirectoryPaths", "saveFile"}) {
      outcomes.push_back(outcome(method));
    }
    return outcomes;
  }

  EditedBundle bundle;
  std::unique_ptr<HostProcess> host;
  std::optional<EngineClient> client;
};

using Outcomes = std::vector<std::string>;

TEST_F(FilePickerHost, TheShippedEntitlementsLetEveryDialogThrough) {
  start();
  EXPECT_EQ(dialogOutcomes(), Outcomes(4, "sheet"));
}

TEST_F(FilePickerHost, ReadOnlyEntitlementsRefuseOnlyTheSaveDialog) {
  bundle.writeEntitlements({{{kReadWrite, "<false/>"}, {kReadOnly, "<true/>"}}});
  start();
  EXPECT_EQ(dialogOutcomes(), (Outcomes{"sheet", "sheet", "sheet", "ENTITLEMENT_REQUIRED_WRITE"}));
}

TEST_F(FilePickerHost, WithoutFileEntitlementsEveryDialogIsRefused) {
  bundle.writeEntitlements(
      {{{"com.apple.security.app-sandbox", "<true/>"}, {kReadWrite, "<string>YES</string>"}}});
  start();
  EXPECT_EQ(dialogOutcomes(), (Outcomes{"ENTITLEMENT_NOT_FOUND", "ENTITLEMENT_NOT_FOUND",
                                        "ENTITLEMENT_NOT_FOUND", "ENTITLEMENT_REQUIRED_WRITE"}));
}

TEST_F(FilePickerHost, WithoutAnEntitlementsFileTheCheckFailsUntilTheSwitch) {
  bundle.writeEntitlements(std::nullopt);
  start();
  EXPECT_EQ(dialogOutcomes(), Outcomes(4, "ENTITLEMENT_CHECK_FAILED"));
  EXPECT_EQ(client->invokeMethod(kChannel, "skipEntitlementsChecks"),
            FlutterMethodReply(EncodableValue()));
  EXPECT_EQ(dialogOutcomes(), Outcomes(4, "sheet"));
}

EncodableValue strings(const std::vector<std::string>& values) {
  EncodableList list;
  for (const auto& value : values) list.emplace_back(value);
  return list;
}
EncodableValue setting(const char* name, EncodableValue value) {
  return EncodableList{name, std::move(value)};
}

TEST_F(FilePickerHost, EachDialogIsShownOnTheMainWindowAndAnswered) {
  start();
  {
    DialogCall call(*client, "pickFiles",
                    EncodableMap{{"allowMultiple", true},
                                 {"initialDirectory", "/srv/in"},
                                 {"allowedExtensions", strings({"png", "zzqq"})}});
    EXPECT_EQ(
        client->desktop("sheet"),
        FlutterMethodReply(EncodableMap{
            {"class", "NSOpenPanel"},
            {"settings",
             EncodableList{
                 setting("setDirectoryURL:", "/srv/in"), setting("setShowsHiddenFiles:", false),
                 setting("setAllowsMultipleSelection:", true),
                 setting("setCanChooseDirectories:", false), setting("setCanChooseFiles:", true),
                 setting("setAllowedContentTypes:", strings({"image/png", "dyn.e7a7a7171"}))}}}));
    client->desktop(
        "answerSheet",
        EncodableMap{{"response", 1}, {"urls", strings({"/srv/in/b.png", "/srv/a.png"})}});
    EXPECT_EQ(call.reply(), FlutterMethodReply(strings({"/srv/in/b.png", "/srv/a.png"})));
  }
  {
    DialogCall call(*client, "getDirectoryPath", EncodableMap{});
    client->desktop("answerSheet", EncodableMap{{"response", 1}, {"urls", strings({"/srv/d"})}});
    EXPECT_EQ(call.reply(), FlutterMethodReply(EncodableValue("/srv/d")));
  }
  {
    DialogCall call(*client, "pickFileAndDirectoryPaths", EncodableMap{});
    client->desktop("answerSheet",
                    EncodableMap{{"response", 1}, {"urls", strings({"/srv/d", "/srv/f.txt"})}});
    EXPECT_EQ(call.reply(), FlutterMethodReply(strings({"/srv/d", "/srv/f.txt"})));
  }
  {
    DialogCall call(*client, "saveFile", EncodableMap{{"fileName", "out.txt"}});
    const auto sheet = client->desktop("sheet");
    const auto* description = std::get_if<EncodableValue>(&sheet);
    ASSERT_TRUE(description && description->map());
    EXPECT_EQ(*description->map()->find("class"), EncodableValue("NSSavePanel"));
    client->desktop("answerSheet",
                    EncodableMap{{"response", 1}, {"urls", strings({"/srv/out.txt"})}});
    EXPECT_EQ(call.reply(), FlutterMethodReply(EncodableValue("/srv/out.txt")));
  }
  // Cancelled: null, and the window shows no sheet afterwards.
  DialogCall cancelled(*client, "saveFile", EncodableMap{});
  client->desktop("answerSheet", EncodableMap{{"response", 0}, {"urls", strings({"/srv/x"})}});
  EXPECT_EQ(cancelled.reply(), FlutterMethodReply(EncodableValue()));
  EXPECT_EQ(client->desktop("sheet"), FlutterMethodReply(EncodableValue()));
}

}  // namespace
