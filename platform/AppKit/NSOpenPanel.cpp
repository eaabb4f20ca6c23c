#include "platform/AppKit/NSOpenPanel.h"

void NSOpenPanel::setAllowsMultipleSelection(bool flag) {
  allowsMultipleSelection_ = flag;
  record("setAllowsMultipleSelection:", flag);
}

void NSOpenPanel::setCanChooseDirectories(bool flag) {
  canChooseDirectories_ = flag;
  record("setCanChooseDirectories:", flag);
}

void NSOpenPanel::setCanChooseFiles(bool flag) {
  canChooseFiles_ = flag;
  record("setCanChooseFiles:", flag);
}
