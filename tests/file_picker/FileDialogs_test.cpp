#include <gtest/gtest.h>

#include "file_picker/FilePickerFixture.h"
#include "platform/Foundation/NSProcessInfo.h"
#include "platform/desktop/WindowServerControl.h"

using namespace file_picker_test;
using platform::PanelSetting;

namespace {

using Settings = std::vector<PanelSetting>;
using Strings = std::vector<std::string>;

// Every dialog proceeds; the types the fake system knows.
class FileDialogs : public FilePickerTest {
 protected:
  void SetUp() override {
    fake.entitlements = {{kReadWrite, true}};
    fake.types = {{"png", "image/png"}, {"txt", "text/plain"}, {".PNG", "image/x-dotted"}};
    FilePickerTest::SetUp();
  }
  // The settings of the sheet a call shows; the sheet is then cancelled.
  Settings settingsOf(const std::string& method, const EncodableValue& arguments = {}) {
    const PendingReply reply = send(method, arguments);
    const auto panel = sheet();
    if (!panel) {
      ADD_FAILURE() << method << " showed no sheet";
      return {};
    }
    Settings settings = panel->settings();
    EXPECT_EQ(answer(reply, NSModalResponseCancel), nullReply());
    return settings;
  }
  std::string typeData() const { return UTType::data()->identifier(); }
};

const EncodableValue kFullArguments = EncodableMap{
    {"initialDirectory", "/home/ann/Pictures"},
    {"allowMultiple", true},
    {"allowedExtensions", strings({"png", "txt"})},
    {"dialogTitle", "Export"},
    {"fileName", "report.txt"},
    {"somethingElse", 3},
};

TEST_F(FileDialogs, PickFilesSettingsInOrder) {
  EXPECT_EQ(settingsOf("pickFiles", kFullArguments),
            (Settings{{"setDirectoryURL:", "/home/ann/Pictures"},
                      {"setShowsHiddenFiles:", false},
                      {"setAllowsMultipleSelection:", true},
                      {"setCanChooseDirectories:", false},
                      {"setCanChooseFiles:", true},
                      {"setAllowedContentTypes:", Strings{"image/png", "text/plain"}}}));
}

TEST_F(FileDialogs, DirectorySettingsInOrderWithoutATypeFilter) {
  EXPECT_EQ(settingsOf("getDirectoryPath", kFullArguments),
            (Settings{{"setDirectoryURL:", "/home/ann/Pictures"},
                      {"setShowsHiddenFiles:", false},
                      {"setAllowsMultipleSelection:", false},
                      {"setCanChooseDirectories:", true},
                      {"setCanChooseFiles:", false}}));
  EXPECT_TRUE(fake.typeLookups.empty());
}

TEST_F(FileDialogs, FileAndDirectorySettingsInOrder) {
  EXPECT_EQ(settingsOf("pickFileAndDirectoryPaths", kFullArguments),
            (Settings{{"setDirectoryURL:", "/home/ann/Pictures"},
                      {"setShowsHiddenFiles:", false},
                      {"setAllowsMultipleSelection:", true},
                      {"setCanChooseDirectories:", true},
                      {"setCanChooseFiles:", true},
                      {"setAllowedContentTypes:", Strings{"image/png", "text/plain"}}}));
}

TEST_F(FileDialogs, SaveFileSettingsInOrder) {
  EXPECT_EQ(settingsOf("saveFile", kFullArguments),
            (Settings{{"setTitle:", "Export"},
                      {"setShowsTagField:", false},
                      {"setShowsHiddenFiles:", false},
                      {"setCanCreateDirectories:", true},
                      {"setNameFieldStringValue:", "report.txt"},
                      {"setDirectoryURL:", "/home/ann/Pictures"},
                      {"setAllowedContentTypes:", Strings{"image/png", "text/plain"}}}));
}

TEST_F(FileDialogs, EachDialogUsesItsPanelClass) {
  for (const auto& [method, panelClass] : std::vector<std::pair<std::string, std::string>>{
           {"pickFiles", "NSOpenPanel"},
           {"getDirectoryPath", "NSOpenPanel"},
           {"pickFileAndDirectoryPaths", "NSOpenPanel"},
           {"saveFile", "NSSavePanel"}}) {
    const PendingReply reply = send(method);
    ASSERT_NE(sheet(), nullptr);
    EXPECT_EQ(sheet()->className(), panelClass);
    EXPECT_EQ(sheet()->sheetWindow(), window);
    answer(reply, NSModalResponseCancel);
  }
}

TEST_F(FileDialogs, MissingArgumentsTakeTheirDefaults) {
  EXPECT_EQ(settingsOf("pickFiles", EncodableMap{}),
            (Settings{{"setShowsHiddenFiles:", false},
                      {"setAllowsMultipleSelection:", false},
                      {"setCanChooseDirectories:", false},
                      {"setCanChooseFiles:", true}}));
  EXPECT_EQ(settingsOf("saveFile", EncodableMap{}), (Settings{{"setTitle:", ""},
                                                              {"setShowsTagField:", false},
                                                              {"setShowsHiddenFiles:", false},
                                                              {"setCanCreateDirectories:", true},
                                                              {"setNameFieldStringValue:", ""}}));
}

TEST_F(FileDialogs, ValuesOfTheWrongTypeCountAsAbsent) {
  const EncodableValue wrong = EncodableMap{
      {"initialDirectory", 42}, {"allowMultiple", "true"},      {"allowedExtensions", "png"},
      {"dialogTitle", 5},       {"fileName", EncodableValue()},
  };
  EXPECT_EQ(settingsOf("saveFile", wrong), settingsOf("saveFile"));
  EXPECT_EQ(settingsOf("pickFiles", wrong), settingsOf("pickFiles"));
  EXPECT_EQ(settingsOf("pickFiles", EncodableMap{{"allowMultiple", 1}}), settingsOf("pickFiles"));
  EXPECT_EQ(settingsOf("getDirectoryPath", EncodableMap{{"initialDirectory", ""}}),
            settingsOf("getDirectoryPath"));
}

TEST_F(FileDialogs, AListWithAnythingButStringsCountsAsAbsentAsAWhole) {
  const Settings unfiltered = settingsOf("pickFileAndDirectoryPaths");
  for (const EncodableValue& extensions :
       {EncodableValue(EncodableList{"png", 3}), EncodableValue(EncodableList{EncodableValue()}),
        EncodableValue(EncodableList{"png", EncodableList{"txt"}}), EncodableValue(EncodableList{}),
        EncodableValue(std::vector<int32_t>{1, 2})}) {
    EXPECT_EQ(
        settingsOf("pickFileAndDirectoryPaths", EncodableMap{{"allowedExtensions", extensions}}),
        unfiltered);
  }
  EXPECT_TRUE(fake.typeLookups.empty());
}

TEST_F(FileDialogs, ArgumentsThatAreNotAMapWithStringKeysGiveEveryDefault) {
  const Settings defaults = settingsOf("saveFile");
  for (const EncodableValue& arguments :
       {EncodableValue("x"), EncodableValue(EncodableList{"dialogTitle", "T"}),
        EncodableValue(EncodableMap{{"dialogTitle", "T"}, {1, "one"}})}) {
    EXPECT_EQ(settingsOf("saveFile", arguments), defaults);
  }
}

TEST_F(FileDialogs, ExtensionsReachTheTypeLookupUnchanged) {
  const EncodableValue arguments =
      EncodableMap{{"allowedExtensions", strings({".PNG", "PNG", "png", "*", "nothing"})}};
  EXPECT_EQ(settingsOf("pickFiles", arguments).back(),
            (PanelSetting{"setAllowedContentTypes:", Strings{"image/x-dotted", "image/png"}}));
  const std::string data = typeData();
  EXPECT_EQ(fake.typeLookups, (Strings{".PNG -> " + data, "PNG -> " + data, "png -> " + data,
                                       "* -> " + data, "nothing -> " + data}));
}

TEST_F(FileDialogs, UnknownExtensionsLeaveAnEmptyContentTypeList) {
  EXPECT_EQ(
      settingsOf("saveFile", EncodableMap{{"allowedExtensions", strings({"zzz", "qq"})}}).back(),
      (PanelSetting{"setAllowedContentTypes:", Strings{}}));
}

TEST_F(FileDialogs, BeforeMacOS11TheExtensionsGoToAllowedFileTypesUnchanged) {
  fake.macOS11OrLater = false;
  const EncodableValue arguments =
      EncodableMap{{"allowedExtensions", strings({".PNG", "Txt", "*", "zzz"})}};
  for (const char* method : {"pickFiles", "pickFileAndDirectoryPaths", "saveFile"}) {
    EXPECT_EQ(settingsOf(method, arguments).back(),
              (PanelSetting{"setAllowedFileTypes:", Strings{".PNG", "Txt", "*", "zzz"}}))
        << method;
  }
  EXPECT_TRUE(fake.typeLookups.empty());
}

TEST_F(FileDialogs, PickFilesRepliesAListEvenForOneFile) {
  const PendingReply reply = send("pickFiles");
  EXPECT_FALSE(reply.arrived());
  EXPECT_EQ(answer(reply, NSModalResponseOK, {"/home/ann/a.txt"}),
            valueReply(strings({"/home/ann/a.txt"})));
  // Without multiple selection only the panel's URL counts.
  const PendingReply second = send("pickFiles", EncodableMap{{"allowMultiple", false}});
  EXPECT_EQ(answer(second, NSModalResponseOK, {"/x/1", "/x/2"}), valueReply(strings({"/x/1"})));
}

TEST_F(FileDialogs, PickFilesWithMultipleSelectionKeepsThePanelsOrder) {
  const PendingReply reply = send("pickFiles", EncodableMap{{"allowMultiple", true}});
  EXPECT_EQ(answer(reply, NSModalResponseOK, {"/z/c.png", "/a/b c.png", "/m/ä.png"}),
            valueReply(strings({"/z/c.png", "/a/b c.png", "/m/ä.png"})));
}

TEST_F(FileDialogs, ConfirmingNothingRepliesNull) {
  EXPECT_EQ(answer(send("pickFiles", EncodableMap{{"allowMultiple", true}}), NSModalResponseOK),
            nullReply());
  EXPECT_EQ(answer(send("pickFiles"), NSModalResponseOK), nullReply());
  EXPECT_EQ(answer(send("pickFileAndDirectoryPaths"), NSModalResponseOK), nullReply());
  EXPECT_EQ(answer(send("getDirectoryPath"), NSModalResponseOK), nullReply());
  EXPECT_EQ(answer(send("saveFile"), NSModalResponseOK), nullReply());
}

TEST_F(FileDialogs, DirectoryAndSaveReplyASingleString) {
  EXPECT_EQ(answer(send("getDirectoryPath", EncodableMap{{"allowedExtensions", strings({"png"})}}),
                   NSModalResponseOK, {"/home/ann/Music"}),
            valueReply("/home/ann/Music"));
  EXPECT_EQ(answer(send("saveFile"), NSModalResponseOK, {"/home/ann/new file.txt"}),
            valueReply("/home/ann/new file.txt"));
}

TEST_F(FileDialogs, FilesAndFoldersComeBackInOneList) {
  EXPECT_EQ(answer(send("pickFileAndDirectoryPaths"), NSModalResponseOK,
                   {"/home/ann/dir", "/home/ann/file.txt"}),
            valueReply(strings({"/home/ann/dir", "/home/ann/file.txt"})));
}

TEST_F(FileDialogs, CancellingRepliesNullWhateverThePanelHolds) {
  for (const char* method :
       {"pickFiles", "getDirectoryPath", "pickFileAndDirectoryPaths", "saveFile"}) {
    EXPECT_EQ(answer(send(method), NSModalResponseCancel, {"/home/ann/a"}), nullReply()) << method;
  }
  // Any response other than OK is no confirmation.
  EXPECT_EQ(answer(send("saveFile"), 1000, {"/home/ann/a"}), nullReply());
}

TEST_F(FileDialogs, WithoutAWindowTheReplyIsNullAtOnceAndNoPanelIsShown) {
  window->setContentView(std::make_shared<NSView>());
  for (const char* method :
       {"pickFiles", "getDirectoryPath", "pickFileAndDirectoryPaths", "saveFile"}) {
    EXPECT_EQ(call(method), nullReply()) << method;
  }
  EXPECT_EQ(window->attachedSheet(), nullptr);
  EXPECT_EQ(platform::WindowServerControl::sheets(*window).waitingCount(), 0u);
}

TEST_F(FileDialogs, EachCallIsRepliedOnceAndTheSheetEnds) {
  const PendingReply reply = send("saveFile");
  EXPECT_EQ(answer(reply, NSModalResponseOK, {"/a"}), valueReply("/a"));
  platform::RunLoop::main().runUntilIdle();
  EXPECT_EQ(reply.count(), 1);
  EXPECT_EQ(sheet(), nullptr);
  EXPECT_FALSE(platform::answerSheet(window, NSModalResponseOK, {}));
}

TEST_F(FileDialogs, ASecondDialogWaitsForTheFirstSheetToEnd) {
  const PendingReply first = send("getDirectoryPath");
  const auto firstPanel = sheet();
  const PendingReply second = send("saveFile");
  EXPECT_EQ(sheet(), firstPanel);
  EXPECT_EQ(platform::WindowServerControl::sheets(*window).waitingCount(), 1u);
  EXPECT_EQ(answer(first, NSModalResponseOK, {"/one"}), valueReply("/one"));
  EXPECT_FALSE(second.arrived());
  ASSERT_NE(sheet(), nullptr);
  EXPECT_EQ(sheet()->className(), "NSSavePanel");
  EXPECT_EQ(answer(second, NSModalResponseOK, {"/two"}), valueReply("/two"));
}

// The real operating-system version test and type lookup of the platform stand-in.
class SystemFileDialogs : public FileDialogs {
 protected:
  void registerPlugin() override {
    FilePickerSystem system = fake.services();
    const FilePickerSystem standard;
    system.isOperatingSystemAtLeastVersion = standard.isOperatingSystemAtLeastVersion;
    system.typeWithFilenameExtension = standard.typeWithFilenameExtension;
    FilePickerPlugin::registerWithRegistrar(registrar, system);
  }
  void TearDown() override {
    platform::setEmulatedOperatingSystemVersionForTesting(std::nullopt);
    FileDialogs::TearDown();
  }
};

TEST_F(SystemFileDialogs, TheEmulatedVersionChoosesTheFilter) {
  const EncodableValue arguments = EncodableMap{{"allowedExtensions", strings({"png", "zzqq"})}};
  platform::setEmulatedOperatingSystemVersionForTesting(NSOperatingSystemVersion{10, 15, 7});
  EXPECT_EQ(settingsOf("pickFiles", arguments).back(),
            (PanelSetting{"setAllowedFileTypes:", Strings{"png", "zzqq"}}));
  platform::setEmulatedOperatingSystemVersionForTesting(NSOperatingSystemVersion{11, 0, 0});
  EXPECT_EQ(settingsOf("pickFiles", arguments).back(),
            (PanelSetting{"setAllowedContentTypes:", Strings{"image/png", "dyn.e7a7a7171"}}));
}

}  // namespace
