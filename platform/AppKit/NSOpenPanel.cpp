#include "platform/AppKit/NSOpenPanel.h"

void NSOpenPanel::setAllowsMultipleSelection(bool flag) {
  record("setAllowsMultipleSelection:", flag);
}

void NSOpenPanel::setCanChooseDirectories(bool flag) { record("setCanChooseDirectories:", flag); }

void NSOpenPanel::setCanChooseFiles(bool flag) { record("setCanChooseFiles:", flag); }
