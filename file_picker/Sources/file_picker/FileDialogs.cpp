// The four dialogs of the file picker and the type filter they share.
#include "file_picker/Sources/file_picker/FileDialogArguments.h"
#include "file_picker/Sources/file_picker/FilePickerPlugin.h"
#include "platform/AppKit/NSOpenPanel.h"
#include "platform/AppKit/NSWindow.h"

namespace {

// The panel starts in "initialDirectory" when it names one; the path is used unchanged,
// whether or not it exists.
void setInitialDirectory(NSSavePanel& panel, const FileDialogArguments& arguments) {
  const auto directory = arguments.string("initialDirectory");
  if (directory && !directory->empty()) panel.setDirectoryURL(URL::fileURLWithPath(*directory));
}

std::vector<std::string> allowedExtensions(const FileDialogArguments& arguments) {
  return arguments.stringList("allowedExtensions").value_or(std::vector<std::string>());
}

// The paths of `urls` in their order as a list, or null when there are none.
EncodableValue pathList(const std::vector<URL>& urls) {
  if (urls.empty()) return EncodableValue();
  EncodableList paths;
  paths.reserve(urls.size());
  for (const URL& url : urls) paths.emplace_back(url.path());
  return paths;
}

// The path of the panel's chosen item as a single string, when the user confirmed one.
EncodableValue singlePath(NSModalResponse response, const NSSavePanel& panel) {
  if (response != NSModalResponseOK) return EncodableValue();
  const auto url = panel.URL();
  return url ? EncodableValue(url->path()) : EncodableValue();
}

// What an open panel may choose.
struct OpenPanelChoice {
  bool multiple;
  bool directories;
  bool files;
};

// An open panel in "initialDirectory", hidden files not shown, choosing what `choice` says.
std::shared_ptr<NSOpenPanel> openPanel(const FileDialogArguments& arguments,
                                       OpenPanelChoice choice) {
  const auto dialog = NSOpenPanel::openPanel();
  setInitialDirectory(*dialog, arguments);
  dialog->setShowsHiddenFiles(false);
  dialog->setAllowsMultipleSelection(choice.multiple);
  dialog->setCanChooseDirectories(choice.directories);
  dialog->setCanChooseFiles(choice.files);
  return dialog;
}

}  // namespace

void FilePickerPlugin::handleFileSelection(const FlutterMethodCall& call, FlutterResult result) {
  if (auto error = checkEntitlement(EntitlementMode::read)) return result(std::move(*error));
  const FileDialogArguments arguments(call.arguments);
  const bool allowMultiple = arguments.boolean("allowMultiple").value_or(false);
  const auto dialog =
      openPanel(arguments, {.multiple = allowMultiple, .directories = false, .files = true});
  applyExtensions(*dialog, allowedExtensions(arguments));
  beginSheet(dialog, result, [dialog, result, allowMultiple](NSModalResponse response) {
    if (response != NSModalResponseOK) return result(EncodableValue());
    if (allowMultiple) return result(pathList(dialog->URLs()));
    const auto url = dialog->URL();
    result(url ? pathList({*url}) : EncodableValue());
  });
}

void FilePickerPlugin::handleDirectorySelection(const FlutterMethodCall& call,
                                                FlutterResult result) {
  if (auto error = checkEntitlement(EntitlementMode::read)) return result(std::move(*error));
  const auto dialog = openPanel(FileDialogArguments(call.arguments),
                                {.multiple = false, .directories = true, .files = false});
  beginSheet(dialog, result,
             [dialog, result](NSModalResponse response) { result(singlePath(response, *dialog)); });
}

void FilePickerPlugin::handleFileAndDirectorySelection(const FlutterMethodCall& call,
                                                       FlutterResult result) {
  if (auto error = checkEntitlement(EntitlementMode::read)) return result(std::move(*error));
  const FileDialogArguments arguments(call.arguments);
  const auto dialog = openPanel(arguments, {.multiple = true, .directories = true, .files = true});
  applyExtensions(*dialog, allowedExtensions(arguments));
  beginSheet(dialog, result, [dialog, result](NSModalResponse response) {
    result(response == NSModalResponseOK ? pathList(dialog->URLs()) : EncodableValue());
  });
}

void FilePickerPlugin::handleSaveFile(const FlutterMethodCall& call, FlutterResult result) {
  if (auto error = checkEntitlement(EntitlementMode::write)) return result(std::move(*error));
  const auto dialog = NSSavePanel::savePanel();
  const FileDialogArguments arguments(call.arguments);
  dialog->setTitle(arguments.string("dialogTitle").value_or(""));
  dialog->setShowsTagField(false);
  dialog->setShowsHiddenFiles(false);
  dialog->setCanCreateDirectories(true);
  dialog->setNameFieldStringValue(arguments.string("fileName").value_or(""));
  setInitialDirectory(*dialog, arguments);
  applyExtensions(*dialog, allowedExtensions(arguments));
  beginSheet(dialog, result,
             [dialog, result](NSModalResponse response) { result(singlePath(response, *dialog)); });
}

void FilePickerPlugin::applyExtensions(NSSavePanel& panel,
                                       const std::vector<std::string>& extensions) const {
  if (extensions.empty()) return;
  if (system_.isOperatingSystemAtLeastVersion({11, 0, 0})) {
    std::vector<std::shared_ptr<UTType>> types;
    for (const std::string& extension : extensions) {
      if (auto type = system_.typeWithFilenameExtension(extension, UTType::data())) {
        types.push_back(std::move(type));
      }
    }
    panel.setAllowedContentTypes(types);
  } else {
    panel.setAllowedFileTypes(extensions);
  }
}

void FilePickerPlugin::beginSheet(const std::shared_ptr<NSSavePanel>& panel,
                                  const FlutterResult& result,
                                  NSSavePanel::CompletionHandler handler) const {
  const auto view = registrar_->view();
  const auto window = view ? view->window() : nullptr;
  if (!window) return result(EncodableValue());
  panel->beginSheetModalForWindow(window, std::move(handler));
}
