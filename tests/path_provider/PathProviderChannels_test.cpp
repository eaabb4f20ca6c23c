#include <gtest/gtest.h>

#include <filesystem>

#include "macos/Flutter/FlutterViewController.h"
#include "macos/Flutter/testing/InProcessDart.h"
#include "path_provider_foundation/Sources/path_provider_foundation/PathProviderPlugin.h"
#include "support/BundleFixture.h"

using test_support::BundleFixture;
using test_support::ScopedEnvironmentVariable;
using test_support::TemporaryDirectory;

namespace {

const std::string kDirectoryChannel =
    "dev.flutter.pigeon.path_provider_foundation.PathProviderApi.getDirectoryPath";
const std::string kContainerChannel =
    "dev.flutter.pigeon.path_provider_foundation.PathProviderApi.getContainerPath";

// Answers with what it was asked, so the channel plumbing can be seen on its own.
class EchoApi : public PathProviderApi {
 public:
  std::optional<std::string> getDirectoryPath(DirectoryType type) override {
    return "type " + std::to_string(static_cast<int>(type));
  }
  std::optional<std::string> getContainerPath(const std::string& group) override {
    if (group.empty()) return std::nullopt;
    return "group " + group;
  }
};

class PathProviderChannels : public ::testing::Test {
 protected:
  EncodableValue send(const std::string& channel, const EncodableValue& message) {
    const auto& codec = *MessagesPigeonCodec::shared();
    return codec.decode(dart->send(channel, codec.encode(message)));
  }
  EncodableValue sendBytes(const std::string& channel, const FlutterBinaryMessage& bytes) {
    return MessagesPigeonCodec::shared()->decode(dart->send(channel, bytes));
  }
  EncodableValue directory(DirectoryType type) {
    return send(kDirectoryChannel, EncodableList{encodableDirectoryType(type)});
  }
  static void expectInvalidArgument(const EncodableValue& reply, const std::string& mentions) {
    const auto* list = reply.list();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->size(), 3u);
    EXPECT_EQ((*list)[0], EncodableValue("invalid-argument"));
    ASSERT_NE((*list)[1].string(), nullptr);
    EXPECT_NE((*list)[1].string()->find(mentions), std::string::npos) << *(*list)[1].string();
    EXPECT_TRUE((*list)[2].isNull());
  }

  // The Dart side and the messenger hold each other until the Dart side is detached.
  ~PathProviderChannels() override { messenger->detach(dart.get()); }

  std::shared_ptr<FlutterViewController> controller = FlutterViewController::create();
  std::shared_ptr<FlutterEngineMessenger> messenger = controller->engine()->binaryMessenger();
  std::shared_ptr<InProcessDart> dart = InProcessDart::attach(messenger);
};

}  // namespace

TEST_F(PathProviderChannels, RequestsReachTheApiAndRepliesAreOneElementLists) {
  PathProviderApiSetup::setUp(messenger, std::make_shared<EchoApi>(), "");
  EXPECT_EQ(directory(DirectoryType::downloads), EncodableValue(EncodableList{"type 2"}));
  // Further elements are ignored.
  EXPECT_EQ(send(kDirectoryChannel,
                 EncodableList{encodableDirectoryType(DirectoryType::temp), EncodableValue(9)}),
            EncodableValue(EncodableList{"type 4"}));
  EXPECT_EQ(send(kContainerChannel, EncodableList{"TEAM.group"}),
            EncodableValue(EncodableList{"group TEAM.group"}));
  EXPECT_EQ(send(kContainerChannel, EncodableList{""}),
            EncodableValue(EncodableList{EncodableValue()}));
}

TEST_F(PathProviderChannels, SuffixIsAddedAfterAPointOnlyWhenNotEmpty) {
  PathProviderApiSetup::setUp(messenger, std::make_shared<EchoApi>(), "second");
  EXPECT_TRUE(messenger->hasHandler(kDirectoryChannel + ".second"));
  EXPECT_TRUE(messenger->hasHandler(kContainerChannel + ".second"));
  EXPECT_FALSE(messenger->hasHandler(kDirectoryChannel));
  EXPECT_FALSE(messenger->hasHandler(kDirectoryChannel + "."));

  PathProviderApiSetup::setUp(messenger, std::make_shared<EchoApi>(), "");
  EXPECT_TRUE(messenger->hasHandler(kDirectoryChannel));
  EXPECT_TRUE(messenger->hasHandler(kContainerChannel));
  EXPECT_FALSE(messenger->hasHandler(kDirectoryChannel + "."));
}

TEST_F(PathProviderChannels, SettingUpWithoutAnApiRemovesTheHandlers) {
  PathProviderApiSetup::setUp(messenger, std::make_shared<EchoApi>(), "");
  PathProviderApiSetup::setUp(messenger, nullptr, "");
  EXPECT_FALSE(messenger->hasHandler(kDirectoryChannel));
  EXPECT_FALSE(messenger->hasHandler(kContainerChannel));
  EXPECT_TRUE(dart->send(kDirectoryChannel, {}).empty());
}

TEST_F(PathProviderChannels, MalformedMessagesAreAnsweredInvalidArgument) {
  PathProviderApiSetup::setUp(messenger, std::make_shared<EchoApi>(), "");
  expectInvalidArgument(send(kDirectoryChannel, EncodableValue("applicationSupport")),
                        "not a list");
  expectInvalidArgument(send(kDirectoryChannel, EncodableValue()), "not a list");
  expectInvalidArgument(send(kDirectoryChannel, EncodableList{}), "empty");
  expectInvalidArgument(send(kDirectoryChannel, EncodableList{EncodableValue(1)}), "DirectoryType");
  // 129 followed by an unknown raw value decodes as nil, which is no DirectoryType.
  expectInvalidArgument(sendBytes(kDirectoryChannel, {0x0c, 0x01, 0x81, 0x03, 0x07, 0, 0, 0}),
                        "DirectoryType");
  // 129 followed by a string cannot be decoded at all.
  expectInvalidArgument(sendBytes(kDirectoryChannel, {0x0c, 0x01, 0x81, 0x07, 0x01, 'x'}),
                        "could not be decoded");
  expectInvalidArgument(sendBytes(kContainerChannel, {0x0c, 0x02, 0x07}), "could not be decoded");
  expectInvalidArgument(send(kContainerChannel, EncodableList{EncodableValue(5)}), "not a string");
  expectInvalidArgument(send(kContainerChannel, EncodableValue(EncodableMap{})), "not a list");
}

namespace {

// The real plug-in, registered through a registrar, in a private home with a bundle.
class PathProviderPluginTest : public PathProviderChannels {
 protected:
  PathProviderPluginTest() {
    PathProviderPlugin::registerWithRegistrar(controller->registrarForPlugin("PathProviderPlugin"));
  }
  std::string inHome(const std::string& relative) const { return home / relative; }
  bool homeIsEmpty() const { return std::filesystem::is_empty(home.path()); }

  TemporaryDirectory home;
  ScopedEnvironmentVariable homeVariable{"HOME", home.path()};
  ScopedEnvironmentVariable dataHome{"XDG_DATA_HOME", std::nullopt};
  ScopedEnvironmentVariable cacheHome{"XDG_CACHE_HOME", std::nullopt};
  ScopedEnvironmentVariable configHome{"XDG_CONFIG_HOME", std::nullopt};
  BundleFixture bundle{"<dict><key>CFBundleIdentifier</key><string>dev.tolvek.app</string></dict>",
                       R"(<dict><key>com.apple.security.application-groups</key>
                            <array><string>TEAM.dev.tolvek</string></array></dict>)"};
};

EncodableValue reply(const std::string& path) { return EncodableList{EncodableValue(path)}; }
const EncodableValue kNilReply = EncodableList{EncodableValue()};

}  // namespace

TEST_F(PathProviderPluginTest, EachDirectoryTypeFollowsTheUsersDirectories) {
  EXPECT_EQ(directory(DirectoryType::applicationDocuments), reply(inHome("Documents")));
  EXPECT_EQ(directory(DirectoryType::applicationSupport),
            reply(inHome(".local/share/dev.tolvek.app")));
  EXPECT_EQ(directory(DirectoryType::downloads), reply(inHome("Downloads")));
  EXPECT_EQ(directory(DirectoryType::library), reply(inHome("Library")));
  EXPECT_EQ(directory(DirectoryType::temp), reply(inHome(".cache")));
  EXPECT_EQ(directory(DirectoryType::applicationCache), reply(inHome(".cache/dev.tolvek.app")));
  EXPECT_TRUE(homeIsEmpty()) << "nothing may be created on disk";
}

TEST_F(PathProviderPluginTest, XdgSettingsMoveTheDirectories) {
  home.write(".config/user-dirs.dirs",
             "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\nXDG_DOWNLOAD_DIR=\"/srv/dl\"\n");
  ScopedEnvironmentVariable data("XDG_DATA_HOME", "/srv/data");
  ScopedEnvironmentVariable cache("XDG_CACHE_HOME", "/srv/cache with space");
  EXPECT_EQ(directory(DirectoryType::applicationDocuments), reply(inHome("Dokumente")));
  EXPECT_EQ(directory(DirectoryType::downloads), reply("/srv/dl"));
  EXPECT_EQ(directory(DirectoryType::applicationSupport), reply("/srv/data/dev.tolvek.app"));
  EXPECT_EQ(directory(DirectoryType::temp), reply("/srv/cache with space"));
  EXPECT_EQ(directory(DirectoryType::applicationCache),
            reply("/srv/cache with space/dev.tolvek.app"));
}

TEST_F(PathProviderPluginTest, WithoutAUsableBundleIdentifierTheAppendingTypesAnswerNil) {
  for (const char* info :
       {"<dict/>", "<dict><key>CFBundleIdentifier</key><integer>1</integer></dict>",
        "<dict><key>CFBundleIdentifier</key><string></string></dict>",
        "<dict><key>CFBundleIdentifier</key><string>..</string></dict>",
        "<dict><key>CFBundleIdentifier</key><string>a/../../b</string></dict>"}) {
    bundle.writeInfo(info);
    EXPECT_EQ(directory(DirectoryType::applicationSupport), kNilReply) << info;
    EXPECT_EQ(directory(DirectoryType::applicationCache), kNilReply) << info;
    EXPECT_EQ(directory(DirectoryType::temp), reply(inHome(".cache"))) << info;
  }
}

TEST_F(PathProviderPluginTest, ContainersExistOnlyForEntitledGroups) {
  ScopedEnvironmentVariable data("XDG_DATA_HOME", home / "data");
  EXPECT_EQ(send(kContainerChannel, EncodableList{"TEAM.dev.tolvek"}),
            reply(home / "data/group-containers/TEAM.dev.tolvek"));
  EXPECT_EQ(send(kContainerChannel, EncodableList{"TEAM.other"}), kNilReply);
  EXPECT_TRUE(homeIsEmpty());
}
