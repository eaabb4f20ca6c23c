#include "macos/Flutter/engine/DesktopArguments.h"

#include <cmath>

#include "platform/AppKit/NSApplication.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/desktop/WindowServerControl.h"

namespace {

[[noreturn]] void fail(const std::string& what) { throw std::invalid_argument(what); }

}  // namespace

DesktopArguments::DesktopArguments(const EncodableValue& arguments) {
  if (arguments.isNull()) return;
  if (!arguments.map()) fail("the arguments must be a map");
  map_ = *arguments.map();
}

const EncodableValue* DesktopArguments::find(const char* key) const {
  const EncodableValue* value = map_.find(key);
  return value == nullptr || value->isNull() ? nullptr : value;
}

const EncodableValue& DesktopArguments::require(const char* key) const {
  const EncodableValue* value = find(key);
  if (value == nullptr) fail(std::string("\"") + key + "\" is missing");
  return *value;
}

bool DesktopArguments::has(const char* key) const { return find(key) != nullptr; }

int64_t DesktopArguments::integer(const char* key) const {
  const auto value = require(key).integer();
  if (!value) fail(std::string("\"") + key + "\" must be an integer");
  return *value;
}

std::optional<int64_t> DesktopArguments::optionalInteger(const char* key) const {
  if (!has(key)) return std::nullopt;
  return integer(key);
}

bool DesktopArguments::boolean(const char* key) const {
  const bool* value = require(key).boolean();
  if (value == nullptr) fail(std::string("\"") + key + "\" must be true or false");
  return *value;
}

std::optional<bool> DesktopArguments::optionalBoolean(const char* key) const {
  if (!has(key)) return std::nullopt;
  return boolean(key);
}

std::string DesktopArguments::string(const char* key) const {
  const std::string* value = require(key).string();
  if (value == nullptr) fail(std::string("\"") + key + "\" must be a string");
  return *value;
}

std::optional<std::string> DesktopArguments::optionalString(const char* key) const {
  if (!has(key)) return std::nullopt;
  return string(key);
}

std::vector<double> DesktopArguments::numbers(const char* key, size_t count) const {
  const EncodableList* list = require(key).list();
  const std::string what =
      std::string("\"") + key + "\" must be a list of " + std::to_string(count) + " numbers";
  if (list == nullptr || list->size() != count) fail(what);
  std::vector<double> numbers;
  for (const auto& element : *list) {
    if (const auto integer = element.integer()) {
      numbers.push_back(static_cast<double>(*integer));
    } else if (const double* number = element.float64(); number && std::isfinite(*number)) {
      numbers.push_back(*number);
    } else {
      fail(what);
    }
  }
  return numbers;
}

double DesktopArguments::number(const char* key) const {
  const EncodableValue& value = require(key);
  if (const auto integer = value.integer()) return static_cast<double>(*integer);
  const double* number = value.float64();
  if (number == nullptr || !std::isfinite(*number)) {
    fail(std::string("\"") + key + "\" must be a finite number");
  }
  return *number;
}

const EncodableList& DesktopArguments::list(const char* key) const {
  const EncodableList* list = require(key).list();
  if (list == nullptr) fail(std::string("\"") + key + "\" must be a list");
  return *list;
}

EncodableValue desktopInteger(int64_t value) {
  if (value >= INT32_MIN && value <= INT32_MAX) return EncodableValue(static_cast<int32_t>(value));
  return EncodableValue(value);
}

std::shared_ptr<NSWindow> desktopTargetWindow(const DesktopArguments& arguments) {
  const auto application = NSApp();
  if (const auto id = arguments.optionalInteger("window")) {
    if (auto window = application->windowWithWindowNumber(*id)) return window;
    fail("no window has the id " + std::to_string(*id));
  }
  if (const auto window = platform::WindowServerControl::interfaceWindow()) {
    if (application->windowWithWindowNumber(window->windowNumber())) return window;
  }
  if (auto window = application->mainWindow()) return window;
  fail("the application has no main window");
}
