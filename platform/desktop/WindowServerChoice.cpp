#include "platform/desktop/WindowServerChoice.h"

#include <cstdlib>
#include <string>

#include "platform/desktop/WindowServer.h"
#include "platform/desktop/gtk/GtkWindowServer.h"
#include "platform/desktop/model/ModelWindowServer.h"

namespace platform {

namespace {

bool isSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

std::string chosenName() {
  const char* named = std::getenv("TOLVEK_DESKTOP");
  if (named != nullptr && *named != '\0') return named;
  return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") ? "gtk" : "model";
}

}  // namespace

void installChosenWindowServer() {
  const std::string name = chosenName();
  if (name == "model") {
    installWindowServer(std::make_unique<ModelWindowServer>());
    return;
  }
  if (name != "gtk")
    throw WindowServerChoiceError("TOLVEK_DESKTOP must be \"model\" or \"gtk\", not \"" + name +
                                  "\"");
  auto server = GtkWindowServer::open();
  if (!server)
    throw WindowServerChoiceError(
        "the gtk desktop needs a display, and none opens (DISPLAY or WAYLAND_DISPLAY)");
  installWindowServer(std::move(server));
}

}  // namespace platform
