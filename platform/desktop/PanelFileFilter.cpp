#include "platform/desktop/PanelFileFilter.h"

#include <algorithm>
#include <cctype>

#include "platform/AppKit/NSSavePanel.h"
#include "platform/UniformTypeIdentifiers/MimeDatabase.h"

namespace platform {

namespace {

// A glob that matches `pattern` in either letter case ("*.png" -> "*.[pP][nN][gG]").
std::string anyCase(const std::string& pattern) {
  std::string glob;
  for (const char character : pattern) {
    const auto byte = static_cast<unsigned char>(character);
    if (std::isalpha(byte)) {
      glob += '[';
      glob += static_cast<char>(std::tolower(byte));
      glob += static_cast<char>(std::toupper(byte));
      glob += ']';
    } else {
      glob += character;
    }
  }
  return glob;
}

void addOnce(std::vector<std::string>& list, std::string item) {
  if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(std::move(item));
}

// The patterns of the file names the database gives `type`.
void addTypePatterns(const MimeDatabase& database, const std::string& type,
                     PanelFileFilter& filter) {
  for (const auto& glob : database.globs()) {
    if (database.canonicalType(glob.type) != type) continue;
    addOnce(filter.patterns, glob.caseSensitive ? glob.pattern : anyCase(glob.pattern));
  }
}

}  // namespace

std::optional<PanelFileFilter> panelFileFilter(const NSSavePanel& panel) {
  PanelFileFilter filter;
  std::vector<std::string> shown;
  if (!panel.allowedContentTypes().empty()) {
    const auto database = MimeDatabase::shared();
    for (const auto& type : panel.allowedContentTypes()) {
      if (type->isDynamic()) {
        const std::string pattern = "*." + type->preferredFilenameExtension().value_or("");
        addOnce(filter.patterns, anyCase(pattern));
        addOnce(shown, pattern);
        continue;
      }
      addOnce(filter.mimeTypes, type->identifier());
      addTypePatterns(*database, type->identifier(), filter);
      addOnce(shown, type->identifier());
    }
  } else {
    for (const auto& extension : panel.allowedFileTypes()) {
      addOnce(filter.patterns, anyCase("*." + extension));
      addOnce(shown, "*." + extension);
    }
  }
  if (filter.mimeTypes.empty() && filter.patterns.empty()) return std::nullopt;
  for (const auto& item : shown) filter.name += (filter.name.empty() ? "" : ", ") + item;
  return filter;
}

}  // namespace platform
