#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "file_picker/Sources/file_picker/FilePickerPlugin.h"
#include "macos/Flutter/FlutterViewController.h"
#include "macos/Flutter/testing/InProcessDart.h"
#include "platform/AppKit/NSOpenPanel.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/dispatch/RunLoop.h"
#include "support/DesktopFixture.h"

namespace file_picker_test {

inline const char* const kChannel = "belsworthan.flutter.plugins.filepicker";
inline const char* const kReadOnly = "com.apple.security.files.user-selected.read-only";
inline const char* const kReadWrite = "com.apple.security.files.user-selected.read-write";

// Entitlements and system answers the plug-in sees, with a record of what it asked.
struct FakeSystem {
  bool taskCanBeMade = true;
  std::map<std::string, PropertyList> entitlements;
  bool macOS11OrLater = true;
  // Extension to type identifier; an extension not listed has no type.
  std::map<std::string, std::string> types;

  std::vector<std::string> entitlementsRead;  // keys, in the order asked
  int tasksMade = 0;
  int tasksReleased = 0;
  std::vector<std::string> typeLookups;  // "extension -> supertype"

  // Services that answer from this object, which must outlive them.
  FilePickerSystem services() {
    FilePickerSystem system;
    system.secTaskCreateFromSelf = [this](CFAllocatorRef) -> SecTaskRef {
      if (!taskCanBeMade) return nullptr;
      ++tasksMade;
      PropertyList::Dictionary values(entitlements.begin(), entitlements.end());
      return SecTaskRef(new SecTask(std::move(values)), [this](SecTask* task) {
        ++tasksReleased;
        delete task;
      });
    };
    system.secTaskCopyValueForEntitlement = [this](const SecTaskRef& task, const std::string& key,
                                                   CFErrorRef* error) {
      entitlementsRead.push_back(key);
      return SecTaskCopyValueForEntitlement(task, key, error);
    };
    system.isOperatingSystemAtLeastVersion = [this](const NSOperatingSystemVersion& version) {
      EXPECT_EQ(version, (NSOperatingSystemVersion{11, 0, 0}));
      return macOS11OrLater;
    };
    system.typeWithFilenameExtension = [this](const std::string& extension,
                                              const std::shared_ptr<UTType>& supertype) {
      typeLookups.push_back(extension + " -> " + (supertype ? supertype->identifier() : "nil"));
      const auto found = types.find(extension);
      return found == types.end() ? nullptr : std::make_shared<UTType>(found->second);
    };
    return system;
  }
};

// A reply that arrives later: the bytes Dart receives for one call.
class PendingReply {
 public:
  bool arrived() const { return bytes_->has_value(); }
  // Runs the main run loop until the reply is there, and decodes it.
  FlutterMethodReply wait() const {
    const bool arrivedInTime =
        platform::RunLoop::main().runUntil([this] { return bytes_->has_value(); });
    if (!arrivedInTime) {
      ADD_FAILURE() << "no reply";
      return FlutterMethodReply(FlutterError::errorWithCode("no-reply"));
    }
    return FlutterStandardMethodCodec::sharedInstance()->decodeEnvelope(**bytes_);
  }
  int count() const { return *count_; }

 private:
  friend class FilePickerTest;
  std::shared_ptr<std::optional<FlutterBinaryMessage>> bytes_ =
      std::make_shared<std::optional<FlutterBinaryMessage>>();
  std::shared_ptr<int> count_ = std::make_shared<int>(0);
};

// A Flutter view controller whose view is in a desktop-model window, the file picker
// registered on it with the fake system, and the Dart side in process.
class FilePickerTest : public DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    controller = FlutterViewController::create();
    window = makeWindow();
    window->setContentViewController(controller);
    dart = InProcessDart::attach(controller->engine()->binaryMessenger());
    registrar = controller->registrarForPlugin("FilePickerPlugin");
    registerPlugin();
  }
  // The plug-in sees the fake system unless a test fixture says otherwise.
  virtual void registerPlugin() {
    FilePickerPlugin::registerWithRegistrar(registrar, fake.services());
  }

  // How a dialog call ends when the user cancels any sheet it shows: "sheet" when it
  // showed one, else the error code or "null" it replied with at once.
  std::string outcome(const std::string& method, const EncodableValue& arguments = {}) {
    const PendingReply reply = send(method, arguments);
    if (!reply.arrived()) {
      if (!sheet()) return "neither a reply nor a sheet";
      answer(reply, NSModalResponseCancel);
      return "sheet";
    }
    const FlutterMethodReply value = reply.wait();
    if (const auto* error = std::get_if<FlutterError>(&value)) return error->code;
    if (std::get_if<FlutterMethodNotImplementedType>(&value)) return "not implemented";
    return std::get<EncodableValue>(value).isNull() ? "null" : "a value";
  }
  // The outcomes of the four dialog methods, in the order pickFiles, getDirectoryPath,
  // pickFileAndDirectoryPaths, saveFile.
  std::vector<std::string> dialogOutcomes() {
    std::vector<std::string> outcomes;
    for (const char* method :
         {"pickFiles", "getDirectoryPath", "pickFileAndDirectoryPaths", "saveFile"}) {
      outcomes.push_back(outcome(method));
    }
    return outcomes;
  }

  // Sends a call as Dart does and returns at once; the reply comes when it comes.
  PendingReply send(const std::string& method, const EncodableValue& arguments = {}) {
    PendingReply pending;
    const auto codec = FlutterStandardMethodCodec::sharedInstance();
    controller->engine()->binaryMessenger()->handleMessageFromDart(
        kChannel, codec->encodeMethodCall({method, arguments}),
        [bytes = pending.bytes_, count = pending.count_](FlutterBinaryMessage reply) {
          ++*count;
          *bytes = std::move(reply);
        });
    platform::RunLoop::main().runUntilIdle();
    return pending;
  }
  // A call whose reply comes at once (no sheet is shown).
  FlutterMethodReply call(const std::string& method, const EncodableValue& arguments = {}) {
    const PendingReply reply = send(method, arguments);
    EXPECT_TRUE(reply.arrived()) << method << " did not reply at once";
    return reply.wait();
  }

  // The panel shown on the window.
  std::shared_ptr<NSSavePanel> sheet() const { return platform::sheetPanel(window); }
  // The user answers the sheet with `paths` and the reply arrives.
  FlutterMethodReply answer(const PendingReply& reply, NSModalResponse response,
                            const std::vector<std::string>& paths = {}) {
    std::vector<URL> urls;
    for (const auto& path : paths) urls.push_back(URL::fileURLWithPath(path, false));
    EXPECT_TRUE(platform::answerSheet(window, response, std::move(urls)));
    return reply.wait();
  }

  FakeSystem fake;
  std::shared_ptr<FlutterViewController> controller;
  std::shared_ptr<NSWindow> window;
  std::shared_ptr<InProcessDart> dart;
  std::shared_ptr<FlutterPluginRegistrar> registrar;
};

inline FlutterMethodReply errorReply(const std::string& code, const std::string& message) {
  return FlutterError::errorWithCode(code, message);
}
inline FlutterMethodReply valueReply(EncodableValue value) { return value; }
inline FlutterMethodReply nullReply() { return EncodableValue(); }

inline EncodableValue strings(const std::vector<std::string>& values) {
  EncodableList list;
  for (const auto& value : values) list.emplace_back(value);
  return list;
}

}  // namespace file_picker_test
