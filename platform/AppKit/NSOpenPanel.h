#pragma once

#include <memory>
#include <vector>

#include "platform/AppKit/NSSavePanel.h"

// The desktop model's open panel: a save panel that chooses existing files and folders,
// possibly several at once.
class NSOpenPanel : public NSSavePanel {
 public:
  NSOpenPanel() = default;
  static std::shared_ptr<NSOpenPanel> openPanel() { return std::make_shared<NSOpenPanel>(); }

  void setAllowsMultipleSelection(bool flag);
  void setCanChooseDirectories(bool flag);
  void setCanChooseFiles(bool flag);

  // Every chosen item, in the order the user answered with.
  std::vector<::URL> URLs() const { return chosenURLs(); }
};
