#pragma once

#include <memory>

#include "macos/Flutter/FlutterPlugin.h"

// Registers every platform plug-in of the application with `registry`, in a fixed order.
void RegisterGeneratedPlugins(const std::shared_ptr<FlutterPluginRegistry>& registry);
