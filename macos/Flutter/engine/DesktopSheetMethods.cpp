// The user's side of the sheets that panels show on windows: "sheet" reports the panel a
// window shows and every setting the host made on it; "answerSheet" answers it.
#include <stdexcept>

#include "macos/Flutter/engine/DesktopArguments.h"
#include "macos/Flutter/engine/DesktopControl.h"
#include "macos/Flutter/engine/DesktopWindowMap.h"
#include "platform/AppKit/NSSavePanel.h"
#include "platform/AppKit/NSWindow.h"

namespace {

EncodableValue settingValue(const platform::PanelSetting::Value& value) {
  if (const bool* flag = std::get_if<bool>(&value)) return *flag;
  if (const std::string* text = std::get_if<std::string>(&value)) return *text;
  EncodableList list;
  for (const std::string& item : std::get<std::vector<std::string>>(value)) list.emplace_back(item);
  return list;
}

// "urls": file URLs of the paths listed, in order; none when left out.
std::vector<URL> urlsArgument(const EncodableValue& arguments) {
  std::vector<URL> urls;
  const EncodableMap* map = arguments.map();
  const EncodableValue* paths = map ? map->find("urls") : nullptr;
  if (!paths || paths->isNull()) return urls;
  const auto invalid = std::invalid_argument("\"urls\" must be a list of non-empty paths");
  if (!paths->list()) throw invalid;
  for (const EncodableValue& path : *paths->list()) {
    if (!path.string() || path.string()->empty()) throw invalid;
    urls.push_back(URL::fileURLWithPath(*path.string()));
  }
  return urls;
}

FlutterMethodReply sheet(const EncodableValue& value) {
  return desktopSheetDescription(desktopTargetWindow(DesktopArguments(value)));
}

FlutterMethodReply answerSheet(const EncodableValue& value) {
  const DesktopArguments arguments(value);
  const auto window = desktopTargetWindow(arguments);
  const NSModalResponse response = arguments.integer("response");
  if (!platform::answerSheet(window, response, urlsArgument(value))) {
    throw std::invalid_argument("the window shows no sheet");
  }
  return EncodableValue();
}

}  // namespace

EncodableValue desktopSheetDescription(const std::shared_ptr<NSWindow>& window) {
  const auto panel = platform::sheetPanel(window);
  if (!panel) return EncodableValue();
  EncodableList settings;
  for (const platform::PanelSetting& setting : panel->settings()) {
    settings.emplace_back(EncodableList{setting.name, settingValue(setting.value)});
  }
  return EncodableMap{{"class", panel->className()}, {"settings", std::move(settings)}};
}

void addDesktopSheetMethods(DesktopControl& control) {
  control.addMethod("sheet", sheet);
  control.addMethod("answerSheet", answerSheet);
}
