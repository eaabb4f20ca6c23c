#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "file_picker/Sources/file_picker/FilePickerSystem.h"
#include "macos/Flutter/FlutterPlugin.h"
#include "platform/AppKit/NSSavePanel.h"
#include "platform/Foundation/NSObject.h"

// What a dialog needs from the app sandbox: writing (the save dialog) needs the read-write
// entitlement; reading (the open dialogs) is satisfied by either file entitlement.
enum class EntitlementMode { write, read };

// The sandbox entitlements for files the user selects, made once and kept.
const std::string& securityFilesUserSelectedReadOnly();
const std::string& securityFilesUserSelectedReadWrite();

// The native side of the file dialogs: answers "belsworthan.flutter.plugins.filepicker"
// with open and save panels shown as sheets on the window that holds the Flutter view.
// Every dialog first tests the process's file entitlements, unless the Dart side has
// turned the tests off for good with "skipEntitlementsChecks". Main thread only.
class FilePickerPlugin : public NSObject, public FlutterPlugin {
 public:
  // Makes the channel on the registrar's messenger and a plug-in object that the
  // registrar's engine keeps as the channel's delegate.
  static void registerWithRegistrar(const std::shared_ptr<FlutterPluginRegistrar>& registrar);
  // The same, with the system services given (tests).
  static void registerWithRegistrar(const std::shared_ptr<FlutterPluginRegistrar>& registrar,
                                    FilePickerSystem system);

  explicit FilePickerPlugin(std::shared_ptr<FlutterPluginRegistrar> registrar,
                            FilePickerSystem system = {});

  void handleMethodCall(const FlutterMethodCall& call, FlutterResult result) override;

  // Nothing when a dialog that needs `requiredMode` may be shown, else the error to reply
  // with. Reads both entitlements every time, read-write first; nothing is cached.
  std::optional<FlutterError> checkEntitlement(EntitlementMode requiredMode) const;

  bool skipEntitlementsChecks() const { return skipEntitlementsChecks_; }

  // The four dialogs. Each replies exactly once: at once on an entitlement failure or
  // when there is no window, otherwise from the sheet's completion handler.
  void handleFileSelection(const FlutterMethodCall& call, FlutterResult result);
  void handleDirectorySelection(const FlutterMethodCall& call, FlutterResult result);
  void handleFileAndDirectorySelection(const FlutterMethodCall& call, FlutterResult result);
  void handleSaveFile(const FlutterMethodCall& call, FlutterResult result);

  // Sets the panel's type filter to `extensions`, unchanged; an empty list leaves the
  // panel accepting every type.
  void applyExtensions(NSSavePanel& panel, const std::vector<std::string>& extensions) const;

 private:
  // Shows `panel` as a sheet on the window that holds the Flutter view; `handler` replies
  // once the user has answered. With no view or no window: replies null at once, and the
  // panel is never shown.
  void beginSheet(const std::shared_ptr<NSSavePanel>& panel, const FlutterResult& result,
                  NSSavePanel::CompletionHandler handler) const;

  std::shared_ptr<FlutterPluginRegistrar> registrar_;
  bool skipEntitlementsChecks_ = false;
  FilePickerSystem system_;
};
