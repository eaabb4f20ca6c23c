#include <optional>
#include <vector>

#include "macos/Flutter/engine/DesktopControl.h"
#include "platform/AppKit/NSPasteboard.h"

namespace {

EncodableValue pasteboardValue(const platform::PasteboardContents& contents) {
  EncodableList items;
  items.reserve(contents.items.size());
  for (const auto& item : contents.items) {
    EncodableMap map;
    for (const auto& type : item.types()) map.set(type, *item.stringForType(type));
    items.emplace_back(std::move(map));
  }
  return EncodableMap{{"changeCount", EncodableValue(contents.changeCount)},
                      {"items", std::move(items)}};
}

// `items`: a list of maps from type to string.
std::optional<std::vector<NSPasteboardItem>> itemsArgument(const EncodableValue& arguments) {
  const EncodableMap* map = arguments.map();
  const EncodableValue* list = map ? map->find("items") : nullptr;
  if (list == nullptr || list->list() == nullptr) return std::nullopt;
  std::vector<NSPasteboardItem> items;
  items.reserve(list->list()->size());
  for (const auto& element : *list->list()) {
    if (element.map() == nullptr) return std::nullopt;
    NSPasteboardItem item;
    for (const auto& [type, string] : *element.map()) {
      if (type.string() == nullptr || string.string() == nullptr) return std::nullopt;
      item.setString(*string.string(), *type.string());
    }
    items.push_back(std::move(item));
  }
  return items;
}

}  // namespace

// The general pasteboard seen from outside the application: what is on it, and another
// application writing it.
void addDesktopPasteboardMethods(DesktopControl& control) {
  control.addMethod("pasteboard", [](const EncodableValue&) -> FlutterMethodReply {
    return pasteboardValue(platform::generalPasteboardContents());
  });
  control.addMethod("writePasteboard", [](const EncodableValue& arguments) -> FlutterMethodReply {
    auto items = itemsArgument(arguments);
    if (!items) return desktopBadArguments("items must be a list of maps of type to string");
    platform::writeGeneralPasteboardFromAnotherApplication(std::move(*items));
    return EncodableValue();
  });
}
