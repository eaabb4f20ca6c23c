#pragma once

#include <optional>
#include <string>
#include <vector>

class NSSavePanel;

namespace platform {

// What a file dialog offers for a panel's allowed types: one filter, named for what it
// lets through, holding each content type's MIME type and file-name patterns (from the
// MIME database the types are read from; a dynamic type by its extension), or each
// allowed file type's extension as a pattern. Patterns ignore letter case unless the
// database's glob says otherwise.
struct PanelFileFilter {
  std::string name;
  std::vector<std::string> mimeTypes;
  std::vector<std::string> patterns;
};

// The filter for the panel's allowed content types (or, when it has none, its allowed file
// types); nothing when it allows every type.
std::optional<PanelFileFilter> panelFileFilter(const NSSavePanel& panel);

}  // namespace platform
