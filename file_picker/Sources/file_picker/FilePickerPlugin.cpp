#include "file_picker/Sources/file_picker/FilePickerPlugin.h"

#include "macos/Flutter/FlutterMethodChannel.h"
#include "platform/dispatch/MainThread.h"

namespace {

const char* const kChannelName = "belsworthan.flutter.plugins.filepicker";

// An entitlement's value, reduced to what the test needs: true, or not (false, a value
// that is not a boolean, or no entitlement at all).
bool entitlementIsTrue(const std::shared_ptr<const PropertyList>& value) {
  return value && value->boolean() && *value->boolean();
}

}  // namespace

const std::string& securityFilesUserSelectedReadOnly() {
  static const std::string key = "com.apple.security.files.user-selected.read-only";
  return key;
}

const std::string& securityFilesUserSelectedReadWrite() {
  static const std::string key = "com.apple.security.files.user-selected.read-write";
  return key;
}

void FilePickerPlugin::registerWithRegistrar(
    const std::shared_ptr<FlutterPluginRegistrar>& registrar) {
  registerWithRegistrar(registrar, FilePickerSystem());
}

void FilePickerPlugin::registerWithRegistrar(
    const std::shared_ptr<FlutterPluginRegistrar>& registrar, FilePickerSystem system) {
  const auto messenger = registrar->messenger();
  const auto channel = FlutterMethodChannel::methodChannelWithName(kChannelName, messenger);
  const auto instance = std::make_shared<FilePickerPlugin>(registrar, std::move(system));
  registrar->addMethodCallDelegate(instance, channel);
}

FilePickerPlugin::FilePickerPlugin(std::shared_ptr<FlutterPluginRegistrar> registrar,
                                   FilePickerSystem system)
    : registrar_(std::move(registrar)), system_(std::move(system)) {}

void FilePickerPlugin::handleMethodCall(const FlutterMethodCall& call, FlutterResult result) {
  assertMainThread();
  if (call.method == "pickFiles") {
    handleFileSelection(call, std::move(result));
  } else if (call.method == "getDirectoryPath") {
    handleDirectorySelection(call, std::move(result));
  } else if (call.method == "pickFileAndDirectoryPaths") {
    handleFileAndDirectorySelection(call, std::move(result));
  } else if (call.method == "saveFile") {
    handleSaveFile(call, std::move(result));
  } else if (call.method == "skipEntitlementsChecks") {
    skipEntitlementsChecks_ = true;
    result(EncodableValue());
  } else {
    result(FlutterMethodNotImplemented);
  }
}

std::optional<FlutterError> FilePickerPlugin::checkEntitlement(EntitlementMode requiredMode) const {
  if (skipEntitlementsChecks_) return std::nullopt;
  // The task goes when `task` does, on every path below.
  const SecTaskRef task = system_.secTaskCreateFromSelf(kCFAllocatorDefault);
  if (!task) {
    return FlutterError::errorWithCode("ENTITLEMENT_CHECK_FAILED",
                                       "Failed to verify file_picker entitlements.");
  }
  const bool readWrite = entitlementIsTrue(
      system_.secTaskCopyValueForEntitlement(task, securityFilesUserSelectedReadWrite(), nullptr));
  const bool readOnly = entitlementIsTrue(
      system_.secTaskCopyValueForEntitlement(task, securityFilesUserSelectedReadOnly(), nullptr));
  switch (requiredMode) {
    case EntitlementMode::read:
      if (readWrite || readOnly) return std::nullopt;
      return FlutterError::errorWithCode(
          "ENTITLEMENT_NOT_FOUND",
          "Either the Read-Only or Read-Write entitlement is required for this action.");
    case EntitlementMode::write:
      if (readWrite) return std::nullopt;
      return FlutterError::errorWithCode("ENTITLEMENT_REQUIRED_WRITE",
                                         "The Read-Write entitlement is required for this action.");
  }
  // No other mode exists; should one ever reach here, nothing is allowed.
  return FlutterError::errorWithCode("ENTITLEMENT_CHECK_FAILED",
                                     "Failed to verify file_picker entitlements.");
}
