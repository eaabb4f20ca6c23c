#pragma once

#include <memory>
#include <optional>
#include <string>

#include "macos/Flutter/FlutterPlugin.h"
#include "path_provider_foundation/Sources/path_provider_foundation/messages.g.h"
#include "platform/Foundation/NSObject.h"

// Tells the Dart side where the application's standard directories lie. It has no state;
// the handlers of its two channels hold the only references to it.
class PathProviderPlugin : public NSObject, public FlutterPlugin, public PathProviderApi {
 public:
  // `register(with:)`: makes one plug-in and sets up PathProviderApi's channels on the
  // registrar's messenger with it, with no channel suffix.
  static void registerWithRegistrar(const std::shared_ptr<FlutterPluginRegistrar>& registrar);

  // The first user-domain search path of the type's directory; for applicationSupport and
  // applicationCache with the bundle identifier appended as one more component (nothing
  // when the bundle has no usable identifier). Nothing is created and existence is not
  // tested.
  std::optional<std::string> getDirectoryPath(DirectoryType type) override;
  // The path of the application group's shared container, or nothing.
  std::optional<std::string> getContainerPath(const std::string& appGroupIdentifier) override;
};
