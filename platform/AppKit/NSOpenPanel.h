#pragma once

#include <memory>
#include <vector>

#include "platform/AppKit/NSSavePanel.h"

// An open panel: a save panel that chooses existing files and folders, possibly several
// at once.
class NSOpenPanel : public NSSavePanel {
 public:
  NSOpenPanel() { canCreateDirectories_ = false; }
  static std::shared_ptr<NSOpenPanel> openPanel() { return std::make_shared<NSOpenPanel>(); }

  void setAllowsMultipleSelection(bool flag);
  void setCanChooseDirectories(bool flag);
  void setCanChooseFiles(bool flag);

  // Every chosen item, in the order the user answered with.
  std::vector<::URL> URLs() const { return chosenURLs(); }

  bool allowsMultipleSelection() const { return allowsMultipleSelection_; }
  bool canChooseDirectories() const { return canChooseDirectories_; }
  bool canChooseFiles() const { return canChooseFiles_; }

 private:
  bool allowsMultipleSelection_ = false;
  bool canChooseDirectories_ = false;
  bool canChooseFiles_ = true;
};
