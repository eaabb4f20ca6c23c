#include "path_provider_foundation/Sources/path_provider_foundation/PathProviderPlugin.h"

#include "platform/Foundation/NSBundle.h"
#include "platform/Foundation/NSFileManager.h"
#include "platform/Foundation/NSPathUtilities.h"
#include "platform/Foundation/URL.h"

namespace {

unsigned long searchPathDirectory(DirectoryType type) {
  switch (type) {
    case DirectoryType::applicationDocuments:
      return NSDocumentDirectory;
    case DirectoryType::applicationSupport:
      return NSApplicationSupportDirectory;
    case DirectoryType::downloads:
      return NSDownloadsDirectory;
    case DirectoryType::library:
      return NSLibraryDirectory;
    case DirectoryType::temp:
    case DirectoryType::applicationCache:
      return NSCachesDirectory;
  }
  return NSCachesDirectory;
}

bool appendsBundleIdentifier(DirectoryType type) {
  return type == DirectoryType::applicationSupport || type == DirectoryType::applicationCache;
}

// An identifier that names one folder of its own below the shared directory. An empty
// one, "." or "..", or one with "/" would make the application's directory the shared
// folder itself, its parent, or some other application's.
bool isUsableAsOneComponent(const std::string& identifier) {
  return !identifier.empty() && identifier != "." && identifier != ".." &&
         identifier.find('/') == std::string::npos && identifier.find('\0') == std::string::npos;
}

}  // namespace

void PathProviderPlugin::registerWithRegistrar(
    const std::shared_ptr<FlutterPluginRegistrar>& registrar) {
  const auto plugin = std::make_shared<PathProviderPlugin>();
  PathProviderApiSetup::setUp(registrar->messenger(), plugin, "");
}

std::optional<std::string> PathProviderPlugin::getDirectoryPath(DirectoryType type) {
  const auto paths =
      NSSearchPathForDirectoriesInDomains(searchPathDirectory(type), NSUserDomainMask, true);
  if (paths.empty()) return std::nullopt;
  const std::string& path = paths.front();
  if (!appendsBundleIdentifier(type)) return path;
  const auto bundleIdentifier = NSBundle::mainBundle()->bundleIdentifier();
  if (!bundleIdentifier || !isUsableAsOneComponent(*bundleIdentifier)) return std::nullopt;
  return URL::fileURLWithPath(path).appendingPathComponent(*bundleIdentifier).path();
}

std::optional<std::string> PathProviderPlugin::getContainerPath(
    const std::string& appGroupIdentifier) {
  const auto url =
      NSFileManager::defaultManager()->containerURLForSecurityApplicationGroupIdentifier(
          appGroupIdentifier);
  if (!url) return std::nullopt;
  return url->path();
}
