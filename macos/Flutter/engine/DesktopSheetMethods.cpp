// The user's side of the sheets that panels show on windows: "sheet" reports the panel a
// window shows and every setting the host made on it; "answerSheet" answers it.
#include "macos/Flutter/engine/DesktopControl.h"
#include "platform/AppKit/NSApplication.h"
#include "platform/AppKit/NSSavePanel.h"
#include "platform/AppKit/NSWindow.h"

namespace {

const EncodableValue* argument(const EncodableValue& arguments, const char* key) {
  const EncodableMap* map = arguments.map();
  if (!map) return nullptr;
  const EncodableValue* value = map->find(key);
  return value && !value->isNull() ? value : nullptr;
}

// The window named by `window`, or the application's interface window when it is left
// out. Throws for a window that does not exist.
std::shared_ptr<NSWindow> windowArgument(const EncodableValue& arguments) {
  if (!arguments.isNull() && !arguments.map()) throw std::invalid_argument("arguments: a map");
  const EncodableValue* number = argument(arguments, "window");
  if (!number) {
    if (auto window = NSApp()->interfaceWindow()) return window;
    throw std::invalid_argument("window: there is no main window");
  }
  if (!number->integer()) throw std::invalid_argument("window: an integer");
  if (auto window = NSApp()->windowWithWindowNumber(*number->integer())) return window;
  throw std::invalid_argument("window: no such window");
}

EncodableValue settingValue(const platform::PanelSetting::Value& value) {
  if (const bool* flag = std::get_if<bool>(&value)) return *flag;
  if (const std::string* text = std::get_if<std::string>(&value)) return *text;
  EncodableList list;
  for (const std::string& item : std::get<std::vector<std::string>>(value)) list.emplace_back(item);
  return list;
}

std::vector<URL> urlsArgument(const EncodableValue& arguments) {
  std::vector<URL> urls;
  const EncodableValue* paths = argument(arguments, "urls");
  if (!paths) return urls;
  if (!paths->list()) throw std::invalid_argument("urls: a list of paths");
  for (const EncodableValue& path : *paths->list()) {
    if (!path.string() || path.string()->empty()) {
      throw std::invalid_argument("urls: a list of paths");
    }
    urls.push_back(URL::fileURLWithPath(*path.string()));
  }
  return urls;
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
  control.addMethod("sheet", [](const EncodableValue& arguments) -> FlutterMethodReply {
    return desktopSheetDescription(windowArgument(arguments));
  });
  control.addMethod("answerSheet", [](const EncodableValue& arguments) -> FlutterMethodReply {
    const auto window = windowArgument(arguments);
    const EncodableValue* response = argument(arguments, "response");
    if (!response || !response->integer()) {
      return desktopBadArguments("response: an integer (1 OK, 0 cancel)");
    }
    auto urls = urlsArgument(arguments);
    if (!platform::answerSheet(window, *response->integer(), std::move(urls))) {
      return desktopBadArguments("the window shows no sheet");
    }
    return EncodableValue();
  });
}
