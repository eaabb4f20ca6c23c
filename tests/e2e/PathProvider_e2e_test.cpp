// The path provider over the transport: the real host's answers under a private HOME,
// with XDG directories, with an edited bundle.
#include <plist/plist.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TemporaryDirectory.h"
#include "tests/e2e/BundleCopy.h"
#include "tests/e2e/HostTestSupport.h"
#include "tools/tolvek-dart/PeerCodecs.h"

namespace {

using e2e::BundleCopy;
using tolvekdart::EngineClient;
using tolvekdart::HostProcess;

const std::string kChannels = "dev.flutter.pigeon.path_provider_foundation.PathProviderApi.";
const std::string kDirectoryChannel = kChannels + "getDirectoryPath";
const std::string kContainerChannel = kChannels + "getContainerPath";

// The raw values as the Dart side numbers them, kept apart from the host's own enumeration
// so that a renumbering there fails here.
enum DirectoryType : int32_t {
  applicationDocuments = 0,
  applicationSupport = 1,
  downloads = 2,
  library = 3,
  temp = 4,
  applicationCache = 5,
};

// The path provider's codec as the Dart side has it (type 129, a directory type).
const FlutterStandardMessageCodec& codec() { return *tolvekdart::peerMessageCodec("pathprovider"); }

EncodableValue directoryTypeValue(EncodableValue raw) { return CustomEncodableValue(129, raw); }

// Sends `payload` as it is and decodes the reply, which must not be empty.
EncodableValue sendRaw(EngineClient& client, const std::string& channel,
                       const std::vector<uint8_t>& payload) {
  const auto reply = client.sendMessage(channel, payload);
  if (reply.empty()) {
    ADD_FAILURE() << channel << " gave an empty reply";
    return {};
  }
  return codec().decode(reply);
}

EncodableValue send(EngineClient& client, const std::string& channel,
                    const EncodableValue& message) {
  return sendRaw(client, channel, codec().encode(message));
}

// The reply to getDirectoryPath, with the raw value sent as an int32 or, as newer Dart
// code writes every integer, an int64.
EncodableValue directoryPath(EngineClient& client, int32_t type, bool asInt64 = false) {
  const EncodableValue raw = asInt64 ? EncodableValue(int64_t{type}) : EncodableValue(type);
  return send(client, kDirectoryChannel, EncodableList{directoryTypeValue(raw)});
}

EncodableValue containerPath(EngineClient& client, const std::string& group) {
  return send(client, kContainerChannel, EncodableList{group});
}

EncodableValue found(const std::string& path) { return EncodableList{path}; }
EncodableValue none() { return EncodableList{EncodableValue()}; }

// Every path a getDirectoryPath reply names, for checking they were not made.
std::vector<std::string> allDirectoryPaths(EngineClient& client) {
  std::vector<std::string> paths;
  for (int32_t type = applicationDocuments; type <= applicationCache; ++type) {
    const auto reply = directoryPath(client, type);
    if (reply.list() && !reply.list()->empty() && (*reply.list())[0].string())
      paths.push_back(*(*reply.list())[0].string());
  }
  return paths;
}

// Only HOME, private and empty: every directory falls below it.
class PathProviderUnderAPrivateHome : public SharedHostTest<PathProviderUnderAPrivateHome> {
 protected:
  static std::string home() { return host()->home(); }
  static std::string identifier() { return e2e::builtBundleIdentifier(); }
};

TEST_F(PathProviderUnderAPrivateHome,
       EachDirectoryTypeIsItsSearchPathWithTheIdentifierWhereItBelongs) {
  const EncodableValue expected[] = {
      found(home() + "/Documents"),
      found(home() + "/.local/share/" + identifier()),
      found(home() + "/Downloads"),
      found(home() + "/Library"),
      found(home() + "/.cache"),  // temp: the caches directory itself
      found(home() + "/.cache/" + identifier()),
  };
  for (const bool asInt64 : {false, true}) {
    for (int32_t type = applicationDocuments; type <= applicationCache; ++type) {
      EXPECT_EQ(directoryPath(*client(), type, asInt64), expected[type])
          << "type " << type << (asInt64 ? " as int64" : " as int32");
    }
  }
}

TEST_F(PathProviderUnderAPrivateHome, NothingIsCreatedOnDisk) {
  const auto paths = allDirectoryPaths(*client());
  EXPECT_EQ(paths.size(), 6u);
  for (const auto& path : paths) EXPECT_FALSE(pathExists(path)) << path;
  EXPECT_TRUE(std::filesystem::is_empty(home())) << "the host wrote below its HOME";
}

TEST_F(PathProviderUnderAPrivateHome, AGroupTheEntitlementsDoNotListHasNoContainer) {
  EXPECT_EQ(containerPath(*client(), "group.app.tolvek.shared"), none());
  EXPECT_EQ(containerPath(*client(), ""), none());
}

// A reply that rejects the message: [code, message, details].
void expectInvalidArgument(const EncodableValue& reply, const std::string& what) {
  const auto* list = reply.list();
  ASSERT_TRUE(list && list->size() == 3u) << what;
  EXPECT_EQ((*list)[0], EncodableValue("invalid-argument")) << what;
  EXPECT_TRUE((*list)[1].string() && !(*list)[1].string()->empty()) << what;
  EXPECT_TRUE((*list)[2].isNull()) << what;
}

TEST_F(PathProviderUnderAPrivateHome, MalformedMessagesAreRejectedAndTheChannelsServeOn) {
  const struct {
    const char* what;
    EncodableValue message;
  } directoryCases[] = {
      {"a message that is not a list", "applicationDocuments"},
      {"a null message", EncodableValue()},
      {"an empty list", EncodableList{}},
      {"a plain integer", EncodableList{0}},
      {"a directory type with no value", EncodableList{directoryTypeValue(EncodableValue())}},
      {"an unknown raw value", EncodableList{directoryTypeValue(7)}},
      {"a negative raw value", EncodableList{directoryTypeValue(-1)}},
      {"a raw value beyond 32 bits", EncodableList{directoryTypeValue(int64_t{1} << 32)}},
      {"a raw value that is text", EncodableList{directoryTypeValue("2")}},
  };
  for (const auto& [what, message] : directoryCases)
    expectInvalidArgument(send(*client(), kDirectoryChannel, message), what);

  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
  } undecodable[] = {
      {"an unknown extension type", {0x0c, 0x01, 0x82, 0x03, 0x02, 0x00, 0x00, 0x00}},
      {"a list cut short", {0x0c, 0x02, 0x81, 0x03, 0x02, 0x00}},
      {"trailing bytes", {0x0c, 0x01, 0x81, 0x03, 0x02, 0x00, 0x00, 0x00, 0x00}},
  };
  for (const auto& [what, bytes] : undecodable)
    expectInvalidArgument(sendRaw(*client(), kDirectoryChannel, bytes), what);

  expectInvalidArgument(send(*client(), kContainerChannel, EncodableList{42}), "a number");
  expectInvalidArgument(send(*client(), kContainerChannel, EncodableList{}), "an empty list");
  expectInvalidArgument(send(*client(), kContainerChannel, "group"), "not a list");

  // The same channels still answer well-formed requests.
  EXPECT_EQ(directoryPath(*client(), downloads), found(home() + "/Downloads"));
  EXPECT_EQ(containerPath(*client(), "group.app.tolvek.shared"), none());
}

// The XDG base and user directories set, and a bundle whose entitlements (a binary
// property list) list one application group.
class PathProviderWithXdgDirectories : public SharedHostTest<PathProviderWithXdgDirectories> {
 public:
  static const test_support::TemporaryDirectory& xdg() {
    static const test_support::TemporaryDirectory directory;
    return directory;
  }
  static const BundleCopy& bundle() {
    static const BundleCopy copy;
    return copy;
  }

  static HostProcess::Options suiteHostOptions() {
    bundle().editPropertyList(
        BundleCopy::kEntitlements,
        [](plist_t root) {
          plist_t groups = plist_new_array();
          plist_array_append_item(groups, plist_new_string("group.app.tolvek.shared"));
          plist_dict_set_item(root, "com.apple.security.application-groups", groups);
        },
        e2e::PlistFormat::binary);
    xdg().write("config/user-dirs.dirs",
                "# written by the test\n"
                "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n"
                "XDG_DOWNLOAD_DIR=\"" +
                    xdg() / "Incoming" + "\"\n");
    auto options = bundle().hostOptions();
    options.environment = {{"XDG_CONFIG_HOME", xdg() / "config"},
                           {"XDG_DATA_HOME", xdg() / "data"},
                           {"XDG_CACHE_HOME", xdg() / "cache/"}};
    return options;
  }

 protected:
  static std::string home() { return host()->home(); }
  static std::string identifier() { return e2e::builtBundleIdentifier(); }
};

TEST_F(PathProviderWithXdgDirectories, DirectoriesFollowTheXdgVariablesAndUserDirs) {
  const EncodableValue expected[] = {
      found(home() + "/Papers"), found(xdg() / "data/" + identifier()),
      found(xdg() / "Incoming"), found(home() + "/Library"),
      found(xdg() / "cache"),    found(xdg() / "cache/" + identifier()),
  };
  for (int32_t type = applicationDocuments; type <= applicationCache; ++type)
    EXPECT_EQ(directoryPath(*client(), type), expected[type]) << "type " << type;
}

TEST_F(PathProviderWithXdgDirectories, NothingIsCreatedOnDisk) {
  for (const auto& path : allDirectoryPaths(*client())) EXPECT_FALSE(pathExists(path)) << path;
  EXPECT_FALSE(pathExists(xdg() / "data"));
  EXPECT_FALSE(pathExists(xdg() / "cache"));
}

TEST_F(PathProviderWithXdgDirectories, OnlyAGroupTheEntitlementsListHasAContainer) {
  EXPECT_EQ(containerPath(*client(), "group.app.tolvek.shared"),
            found(xdg() / "data/group-containers/group.app.tolvek.shared"));
  EXPECT_EQ(containerPath(*client(), "group.app.tolvek.other"), none());
  EXPECT_EQ(containerPath(*client(), "group.app.tolvek"), none());
  EXPECT_EQ(containerPath(*client(), "GROUP.APP.TOLVEK.SHARED"), none());
}

// A bundle whose Info.plist has no CFBundleIdentifier and that has no entitlements, and XDG
// variables that do not name absolute paths.
class PathProviderWithoutBundleIdentifier
    : public SharedHostTest<PathProviderWithoutBundleIdentifier> {
 public:
  static HostProcess::Options suiteHostOptions() {
    static const BundleCopy copy;
    copy.editPropertyList(BundleCopy::kInfo,
                          [](plist_t root) { plist_dict_remove_item(root, "CFBundleIdentifier"); });
    std::filesystem::remove(copy.file(BundleCopy::kEntitlements));
    auto options = copy.hostOptions();
    // XDG base directories that are not absolute paths are ignored.
    options.environment = {{"XDG_CACHE_HOME", "relative/cache"}, {"XDG_DATA_HOME", ""}};
    return options;
  }

 protected:
  static std::string home() { return host()->home(); }
};

TEST_F(PathProviderWithoutBundleIdentifier, SupportAndCacheAreNilTheOthersUnchanged) {
  const EncodableValue expected[] = {
      found(home() + "/Documents"), none(),
      found(home() + "/Downloads"), found(home() + "/Library"),
      found(home() + "/.cache"),    none(),
  };
  for (int32_t type = applicationDocuments; type <= applicationCache; ++type)
    EXPECT_EQ(directoryPath(*client(), type), expected[type]) << "type " << type;
}

TEST_F(PathProviderWithoutBundleIdentifier, WithoutEntitlementsNoGroupHasAContainer) {
  EXPECT_EQ(containerPath(*client(), "group.app.tolvek.shared"), none());
}

}  // namespace
