#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/AppKit/NSModalResponse.h"
#include "platform/Foundation/NSObject.h"
#include "platform/Foundation/URL.h"
#include "platform/UniformTypeIdentifiers/UTType.h"

class NSWindow;
class NSSavePanel;

namespace platform {

bool answerSheet(const std::shared_ptr<NSWindow>& window, NSModalResponse response,
                 std::vector<::URL> urls);

// One setter call on a panel: the setter's selector ("setShowsHiddenFiles:") and the value
// it was given. URLs are kept as their paths, content types as their identifiers.
struct PanelSetting {
  using Value = std::variant<bool, std::string, std::vector<std::string>>;
  std::string name;
  Value value;
  bool operator==(const PanelSetting&) const = default;
};

}  // namespace platform

// A save panel: it keeps its settings and every setter call in call order, shows itself
// as a sheet on a window, and waits there for the user's answer (platform::answerSheet).
// While it is the sheet its window shows, the window server puts up its dialog (a real
// desktop's file dialog; nothing on the model, where the desktop control answers).
// Main thread only.
class NSSavePanel : public NSObject {
 public:
  using CompletionHandler = std::function<void(NSModalResponse)>;

  NSSavePanel() = default;
  static std::shared_ptr<NSSavePanel> savePanel() { return std::make_shared<NSSavePanel>(); }

  void setDirectoryURL(const ::URL& url);
  void setTitle(const std::string& title);
  void setNameFieldStringValue(const std::string& name);
  void setShowsHiddenFiles(bool flag);
  void setShowsTagField(bool flag);
  void setCanCreateDirectories(bool flag);
  // Only items of these types can be chosen (none kept: every type).
  void setAllowedContentTypes(const std::vector<std::shared_ptr<UTType>>& types);
  // The same by file name extension, as earlier systems offer it.
  void setAllowedFileTypes(const std::vector<std::string>& types);

  // Returns at once. Shows the panel as a sheet on `window` (after the sheet the window
  // already shows, if any); when the user answers, `handler` is called once, on the main
  // thread, with the response.
  void beginSheetModalForWindow(const std::shared_ptr<NSWindow>& window, CompletionHandler handler);

  // The chosen item: the first of those the user answered with, or nothing.
  std::optional<::URL> URL() const;

  // The settings as last set (the platform's defaults until then).
  const std::optional<::URL>& directoryURL() const { return directoryURL_; }
  const std::string& title() const { return title_; }
  const std::string& nameFieldStringValue() const { return nameFieldStringValue_; }
  bool showsHiddenFiles() const { return showsHiddenFiles_; }
  bool canCreateDirectories() const { return canCreateDirectories_; }
  const std::vector<std::shared_ptr<UTType>>& allowedContentTypes() const {
    return allowedContentTypes_;
  }
  const std::vector<std::string>& allowedFileTypes() const { return allowedFileTypes_; }

  // The setter calls made so far, oldest first.
  const std::vector<platform::PanelSetting>& settings() const { return settings_; }
  // The window the panel was begun on as a sheet, while it waits or shows there.
  std::shared_ptr<NSWindow> sheetWindow() const { return sheetWindow_.lock(); }

 protected:
  void record(std::string selector, platform::PanelSetting::Value value);
  const std::vector<::URL>& chosenURLs() const { return chosenURLs_; }
  // An open panel creates no folders unless asked to; a save panel does.
  bool canCreateDirectories_ = true;

 private:
  friend bool platform::answerSheet(const std::shared_ptr<NSWindow>& window,
                                    NSModalResponse response, std::vector<::URL> urls);
  // The user's answer: the chosen items, the end of the sheet, the handler on the main
  // queue.
  void answer(const std::shared_ptr<NSWindow>& window, NSModalResponse response,
              std::vector<::URL> urls);

  // The window server shows the sheet `window` now shows, if it is a panel.
  static void showAttachedPanel(const std::shared_ptr<NSWindow>& window);

  std::vector<platform::PanelSetting> settings_;
  std::optional<::URL> directoryURL_;
  std::string title_;
  std::string nameFieldStringValue_;
  bool showsHiddenFiles_ = false;
  std::vector<std::shared_ptr<UTType>> allowedContentTypes_;
  std::vector<std::string> allowedFileTypes_;
  std::weak_ptr<NSWindow> sheetWindow_;
  CompletionHandler handler_;
  std::vector<::URL> chosenURLs_;
};

namespace platform {

// The panel shown as a sheet on `window`, or nullptr.
std::shared_ptr<NSSavePanel> sheetPanel(const std::shared_ptr<NSWindow>& window);

// The user answers the sheet shown on `window`: the panel reports `urls` as chosen, in
// this order, the sheet ends (the next waiting sheet, if any, is shown), and the panel's
// completion handler is called once, on the main thread, with `response`. False when the
// window shows no panel. Main thread only.
bool answerSheet(const std::shared_ptr<NSWindow>& window, NSModalResponse response,
                 std::vector<::URL> urls);

}  // namespace platform
