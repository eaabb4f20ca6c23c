#include "platform/AppKit/InterfaceDescription.h"

#include <map>
#include <nlohmann/json.hpp>

#include "platform/AppKit/ClassRegistry.h"
#include "platform/AppKit/NSApplication.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/Foundation/FileContents.h"
#include "platform/desktop/WindowServerControl.h"
#include "platform/dispatch/MainThread.h"

namespace platform {
namespace {

using nlohmann::json;

[[noreturn]] void fail(const std::string& what) { throw StartupError(what); }

// An interface description lists a window and a delegate; anything much larger is none.
constexpr size_t kMaximumDescriptionSize = 1024 * 1024;

NSWindowStyleMask parseStyleMask(const json& names) {
  static const std::map<std::string, NSWindowStyleMask> kStyles{
      {"titled", NSWindowStyleMaskTitled},
      {"closable", NSWindowStyleMaskClosable},
      {"miniaturizable", NSWindowStyleMaskMiniaturizable},
      {"resizable", NSWindowStyleMaskResizable},
      {"utilityWindow", NSWindowStyleMaskUtilityWindow},
      {"docModalWindow", NSWindowStyleMaskDocModalWindow},
      {"nonactivatingPanel", NSWindowStyleMaskNonactivatingPanel},
      {"unifiedTitleAndToolbar", NSWindowStyleMaskUnifiedTitleAndToolbar},
      {"hudWindow", NSWindowStyleMaskHUDWindow},
      {"fullSizeContentView", NSWindowStyleMaskFullSizeContentView},
  };
  if (!names.is_array()) fail("\"styleMask\" must be a list of style names");
  NSWindowStyleMask mask = NSWindowStyleMaskBorderless;
  for (const auto& name : names) {
    const auto style = name.is_string() ? kStyles.find(name.get<std::string>()) : kStyles.end();
    if (style == kStyles.end()) fail("\"styleMask\" holds an unknown style " + name.dump());
    mask |= style->second;
  }
  return mask;
}

NSRect parseRect(const json& rect) {
  if (!rect.is_array() || rect.size() != 4) fail("\"contentRect\" must be [x, y, width, height]");
  for (const auto& number : rect)
    if (!number.is_number()) fail("\"contentRect\" must hold numbers");
  const NSRect result = NSMakeRect(rect[0].get<double>(), rect[1].get<double>(),
                                   rect[2].get<double>(), rect[3].get<double>());
  if (result.size.width < 0 || result.size.height < 0)
    fail("\"contentRect\" must not have a negative size");
  return result;
}

std::string parseClassName(const json& value, const std::string& entry) {
  if (!value.is_string() || value.get<std::string>().empty()) fail(entry + " must name a class");
  const std::string name = value.get<std::string>();
  if (!isClassRegistered(name)) fail(entry + " names the class \"" + name + "\", which is unknown");
  return name;
}

InterfaceDescription::Window parseWindow(const json& window) {
  if (!window.is_object()) fail("\"window\" must be an object");
  InterfaceDescription::Window result;
  bool hasClass = false, hasRect = false;
  for (const auto& [key, value] : window.items()) {
    if (key == "class") {
      result.className = parseClassName(value, "\"window\" \"class\"");
      hasClass = true;
    } else if (key == "title") {
      if (!value.is_string()) fail("the window's \"title\" must be a string");
      result.title = value.get<std::string>();
    } else if (key == "contentRect") {
      result.contentRect = parseRect(value);
      hasRect = true;
    } else if (key == "styleMask") {
      result.styleMask = parseStyleMask(value);
    } else if (key == "visibleAtLaunch") {
      if (!value.is_boolean()) fail("the window's \"visibleAtLaunch\" must be true or false");
      result.visibleAtLaunch = value.get<bool>();
    } else {
      fail("the window has an unknown entry \"" + key + "\"");
    }
  }
  if (!hasClass) fail("the window names no \"class\"");
  if (!hasRect) fail("the window has no \"contentRect\"");
  return result;
}

}  // namespace

InterfaceDescription InterfaceDescription::parse(const std::string& text) {
  json root;
  try {
    root = json::parse(text);
  } catch (const json::exception& error) {  // malformed, or a number no double holds
    fail(std::string("not valid JSON: ") + error.what());
  }
  if (!root.is_object()) fail("the interface description must be a JSON object");
  InterfaceDescription description;
  for (const auto& [key, value] : root.items()) {
    if (key == "delegate") {
      description.delegateClass = parseClassName(value, "\"delegate\"");
    } else if (key == "window") {
      description.window = parseWindow(value);
    } else {
      fail("unknown entry \"" + key + "\"");
    }
  }
  return description;
}

InterfaceDescription InterfaceDescription::load(const std::string& path) {
  const auto file = platform::readFile(path, kMaximumDescriptionSize);
  if (!file.contents) fail("the interface description " + path + " " + file.problem);
  try {
    return parse(*file.contents);
  } catch (const StartupError& error) {
    fail(path + ": " + error.what());
  }
}

LoadedInterface loadInterface(const InterfaceDescription& description) {
  assertMainThread();
  LoadedInterface loaded;
  std::shared_ptr<NSApplicationDelegate> delegate;
  if (description.delegateClass) {
    loaded.delegate = instantiateClass(*description.delegateClass);
    delegate = std::dynamic_pointer_cast<NSApplicationDelegate>(loaded.delegate);
    if (!delegate)
      fail("the delegate class \"" + *description.delegateClass +
           "\" is not an application delegate");
  }
  if (description.window) {
    loaded.window =
        std::dynamic_pointer_cast<NSWindow>(instantiateClass(description.window->className));
    if (!loaded.window)
      fail("the window class \"" + description.window->className + "\" is not a window");
  }

  if (delegate) NSApp()->setDelegate(delegate);
  if (const auto& window = description.window) {
    loaded.window->initWithContentRect(window->contentRect, window->styleMask,
                                       NSBackingStoreBuffered, false);
    loaded.window->setTitle(window->title);
    platform::WindowServerControl::setInterfaceWindow(loaded.window);
    loaded.window->awakeFromNib();
    if (window->visibleAtLaunch) loaded.window->makeKeyAndOrderFront(nullptr);
  }
  return loaded;
}

}  // namespace platform
